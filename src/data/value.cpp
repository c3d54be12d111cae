#include "data/value.h"

namespace velix {

bool operator==(const Value &a, const Value &b)
{
    return a.m_v == b.m_v && a.m_sub == b.m_sub;
}

} // namespace velix
