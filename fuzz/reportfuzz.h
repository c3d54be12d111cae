#pragma once
// The report definition file as the program uses it: read against the book
// connections, then every report in it laid out over a small book (a
// registration row and enough book rows for several pages) and rendered to
// HTML and a page image.

#include <QByteArray>

namespace velix::fuzz {

void layOutDefinition(const QByteArray &definition);

} // namespace velix::fuzz
