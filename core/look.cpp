#include "look.h"

#include "units.h"

#include <QGuiApplication>
#include <QPalette>

namespace core {

QColor vbColor(quint32 value) {
    if (value & 0x80000000u) {
        switch (value & 0xFFu) {
        case 0:
            return QColor(200, 200, 200); // scroll bar: a fixed light grey
        case 15:
            return QGuiApplication::palette().color(QPalette::Button);
        case 24:
            return QGuiApplication::palette().color(QPalette::ToolTipBase);
        default:
            return QGuiApplication::palette().color(QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QString installedFace(const QString& designFace) {
    // Liberation Sans is narrower than DejaVu Sans: the lit menu items need the room.
    static const struct {
        const char* design;
        const char* installed;
    } table[] = {
        {"MS Sans Serif", "Liberation Sans"},    {"MS Serif", "Liberation Serif"},
        {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"},
        {"Courier", "Liberation Mono"},
    };
    for (const auto& row : table)
        if (designFace.compare(QLatin1String(row.design), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(row.installed);
    return QStringLiteral("DejaVu Sans");
}

QFont designFont(const QString& designFace, double points, bool bold) {
    QFont font(installedFace(designFace));
    font.setPixelSize(pointsToPx(points));
    font.setBold(bold);
    font.setStyleHint(QFont::AnyStyle, QFont::PreferAntialias);
    return font;
}

QFont windowDefaultFont() {
    return designFont(QStringLiteral("MS Sans Serif"), 8.25);
}

} // namespace core
