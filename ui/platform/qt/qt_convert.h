#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <string>
#include <string_view>

#include "ui/platform/platform.h"

// Conversions between the platform's types and Qt's.
namespace kestravin::platform {

/// Texts are single-byte: Latin-1 keeps every byte as it is, both ways.
inline QString toQt(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string fromQt(const QString& text) {
  return text.toLatin1().toStdString();
}
inline QRect toQt(const Rect& r) {
  return QRect(r.x, r.y, r.w, r.h);
}
inline Rect fromQt(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}
inline QColor toQt(Rgb c) {
  return QColor(c.r, c.g, c.b);
}
inline Rgb fromQRgb(QRgb c) {
  return {static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
          static_cast<std::uint8_t>(qBlue(c))};
}

}  // namespace kestravin::platform
