#include "app/WindowPlacement.h"

namespace {

void put(QByteArray& out, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((u >> (8 * i)) & 0xFF));
}

int32_t get(const QByteArray& in, int index)
{
    uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | static_cast<uint8_t>(in[4 * index + i]);
    return static_cast<int32_t>(u);
}

} // namespace

QByteArray WindowPlacement::toBytes() const
{
    QByteArray out;
    out.reserve(SIZE);
    put(out, SIZE);
    put(out, flags);
    put(out, showCommand);
    put(out, minPosition.x());
    put(out, minPosition.y());
    put(out, maxPosition.x());
    put(out, maxPosition.y());
    put(out, normal.left());
    put(out, normal.top());
    put(out, normal.left() + normal.width());
    put(out, normal.top() + normal.height());
    return out;
}

std::optional<WindowPlacement> WindowPlacement::fromBytes(const QByteArray& bytes)
{
    if (bytes.size() != SIZE)
        return std::nullopt;
    WindowPlacement p;
    p.flags = get(bytes, 1);
    p.showCommand = get(bytes, 2);
    p.minPosition = {get(bytes, 3), get(bytes, 4)};
    p.maxPosition = {get(bytes, 5), get(bytes, 6)};
    const int32_t left = get(bytes, 7), top = get(bytes, 8), right = get(bytes, 9), bottom = get(bytes, 10);
    p.normal = QRect(left, top, right - left, bottom - top);
    return p;
}
