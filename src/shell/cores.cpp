#include "shell/cores.h"

#include <QApplication>
#include <QPalette>

namespace velix {
namespace {

// The system colours by index, as the palette roles that play their part here.
QColor corDoSistema(int indice)
{
    const QPalette pal = QApplication::palette();
    switch (indice) {
    case 1:  return pal.color(QPalette::Dark);                         // desktop
    case 2: case 13: case 27: case 29: return pal.color(QPalette::Highlight);
    case 3: case 12: case 28: return pal.color(QPalette::Mid);         // inactive caption, workspace
    case 0: case 4: case 10: case 11: case 30: return pal.color(QPalette::Window);
    case 5:  return pal.color(QPalette::Base);                         // window
    case 6: case 21: return pal.color(QPalette::Shadow);
    case 7:  return pal.color(QPalette::WindowText);                   // menu text
    case 8:  return pal.color(QPalette::Text);                         // window text
    case 9: case 14: return pal.color(QPalette::HighlightedText);
    case 16: return pal.color(QPalette::Dark);                         // button shadow
    case 17: return pal.color(QPalette::Disabled, QPalette::Text);     // grey text
    case 18: return pal.color(QPalette::ButtonText);
    case 19: return pal.color(QPalette::Disabled, QPalette::WindowText);
    case 20: return pal.color(QPalette::Light);
    case 22: return pal.color(QPalette::Midlight);
    case 23: return pal.color(QPalette::ToolTipText);
    case 24: return pal.color(QPalette::ToolTipBase);
    case 26: return pal.color(QPalette::Link);
    default: return pal.color(QPalette::Button);                       // 15: button face
    }
}

} // namespace

QColor corDoValor(qint32 valor)
{
    const auto v = static_cast<quint32>(valor);
    if ((v >> 24) == 0xFF)
        return corDoSistema(int(v & 0xFF));
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

} // namespace velix
