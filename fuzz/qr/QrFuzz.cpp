// QR pictures from arbitrary bytes: the first byte picks the level text and the picture
// size, the rest is the content. Errors must come as ModuleError; a picture must be a
// complete BMP of the requested size over a finished symbol.
#include "qr/ModuleError.h"
#include "qr/QrCode.h"
#include "share/QrPicture.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

std::uint32_t u32(const sorvane::share::Picture &p, std::size_t at)
{
    return p[at] | p[at + 1] << 8 | p[at + 2] << 16 | static_cast<std::uint32_t>(p[at + 3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace sorvane;
    if (size == 0)
        return 0;
    const std::uint8_t control = data[0];
    std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);

    // Level: one of the letters in either case, omitted, or one or two bytes of the input.
    static constexpr std::string_view kLetters = "LMQHlmqh";
    std::optional<std::string_view> level;
    const int choice = control & 15;
    if (choice < 8) {
        level = kLetters.substr(static_cast<std::size_t>(choice), 1);
    } else if (choice < 12) {
        const std::size_t n = std::min<std::size_t>(rest.size(), choice & 1 ? 2 : 1);
        level = rest.substr(0, n);
        rest.remove_prefix(n);
    }
    const int side = (control >> 4) * 5; // 0 gives the default 100

    try {
        const share::Picture picture = share::创建二维码(rest, level, side, side, 0xFFFFFF, 0x000000);
        const int expected = side > 0 ? side : 100;
        check(picture.size() >= 54 && u32(picture, 2) == picture.size());
        check(u32(picture, 18) == static_cast<std::uint32_t>(expected));
        check(u32(picture, 22) == static_cast<std::uint32_t>(expected));
        const qr::二维码类 &record = qr::moduleQrCode();
        check(record.isValid() && record.version() >= 1 && record.version() <= 40);
        check(record.matrix().width() == 17 + 4 * record.version());
        for (int y = 0; y < record.matrix().height(); ++y)
            for (int x = 0; x < record.matrix().width(); ++x)
                check(record.matrix().cellAt(x, y) <= 1);
    } catch (const qr::ModuleError &) {
        // Empty content, a wrong level, too long for version 40: reported, not crashed.
    }
    return 0;
}
