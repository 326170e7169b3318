#pragma once

#include <QByteArray>
#include <QRect>

#include <cstdint>
#include <optional>

// The 44-byte window placement record kept as the "Main" layout value, all
// fields 32-bit little-endian: length (44), flags, show command, minimised
// position (x, y), maximised position (x, y), normal rectangle (left, top,
// right, bottom).
struct WindowPlacement {
    static constexpr int SIZE = 44;
    static constexpr int32_t SHOW_NORMAL = 1;
    static constexpr int32_t SHOW_MINIMIZED = 2;
    static constexpr int32_t SHOW_MAXIMIZED = 3;

    int32_t flags = 0;
    int32_t showCommand = SHOW_NORMAL;
    QPoint minPosition{-1, -1};
    QPoint maxPosition{-1, -1};
    QRect normal;  // right and bottom exclusive, as stored

    QByteArray toBytes() const;
    // Empty unless bytes hold exactly one record.
    static std::optional<WindowPlacement> fromBytes(const QByteArray& bytes);
};
