#include "data/value.h"

namespace velix {

bool operator==(const Value &a, const Value &b)
{
    return a.m_v == b.m_v;
}

} // namespace velix
