// sorvane-qr: the program's QR encoder on the command line.
//
//   sorvane-qr [--level L|M|Q|H] [--size W[xH]] [--out FILE] [--matrix] TEXT
//
// TEXT (UTF-8) is encoded as the program encodes a share link. Without --matrix the BMP
// picture goes to FILE or stdout; with --matrix stdout gets "version V level X mask M"
// and one line per module row ('#' dark, '.' light, no quiet zone).
// Exit codes: 0 done, 1 bad arguments or output failure, 2 encoder error.
#include "qr/Encoder.h"
#include "qr/ModuleError.h"
#include "share/QrPicture.h"
#include "text/Encoding.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kUsage
    = "usage: sorvane-qr [--level L|M|Q|H] [--size W[xH]] [--out FILE] [--matrix] TEXT\n";

struct Options
{
    std::string level = "L";
    int width = 100;
    int height = 100;
    std::optional<std::string> out;
    bool matrix = false;
    std::string text;
};

std::optional<int> parseSide(std::string_view s)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || value < 1
        || value > sorvane::share::kMaxPictureSide)
        return std::nullopt;
    return value;
}

bool parseSize(std::string_view s, Options &options)
{
    const std::size_t x = s.find_first_of("xX");
    const auto w = parseSide(s.substr(0, x));
    const auto h = x == std::string_view::npos ? w : parseSide(s.substr(x + 1));
    if (!w || !h)
        return false;
    options.width = *w;
    options.height = *h;
    return true;
}

bool validLevel(std::string_view level)
{
    return level.size() == 1 && std::string_view("LMQHlmqh").find(level[0]) != std::string_view::npos;
}

std::optional<Options> parseArguments(int argc, char **argv)
{
    Options options;
    bool haveText = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= argc)
                return std::nullopt;
            return std::string_view(argv[++i]);
        };
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--level") {
            const auto v = value();
            if (!v || !validLevel(*v))
                return std::nullopt;
            options.level = *v;
        } else if (!optionsEnded && arg == "--size") {
            const auto v = value();
            if (!v || !parseSize(*v, options))
                return std::nullopt;
        } else if (!optionsEnded && arg == "--out") {
            const auto v = value();
            if (!v || v->empty())
                return std::nullopt;
            options.out = std::string(*v);
        } else if (!optionsEnded && arg == "--matrix") {
            options.matrix = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return std::nullopt;
        } else if (!haveText) {
            options.text = arg;
            haveText = true;
        } else {
            return std::nullopt;
        }
    }
    if (!haveText)
        return std::nullopt;
    return options;
}

bool writeAll(std::FILE *file, const void *data, std::size_t size)
{
    return std::fwrite(data, 1, size, file) == size && std::fflush(file) == 0;
}

int printMatrix(const sorvane::text::GbString &content, const std::string &level)
{
    using namespace sorvane;
    share::requireContent(content);
    const qr::EcLevel ecLevel = share::levelFromText(level);
    qr::二维码类 &record = qr::moduleQrCode();
    qr::编码类().编码(content, ecLevel, record);
    const qr::字节矩阵类 &m = record.matrix();
    std::string out = "version " + std::to_string(record.version()) + " level " + record.ecLevel().name()
        + " mask " + std::to_string(record.maskPattern()) + "\n";
    for (int y = 0; y < m.height(); ++y) {
        for (int x = 0; x < m.width(); ++x)
            out += record.矩阵取值(x, y) ? '#' : '.';
        out += '\n';
    }
    return writeAll(stdout, out.data(), out.size()) ? 0 : 1;
}

int writePicture(const sorvane::text::GbString &content, const Options &options)
{
    using namespace sorvane;
    const share::Picture picture
        = share::创建二维码(content, options.level, options.width, options.height, 0xFFFFFF, 0x000000);
    if (!options.out)
        return writeAll(stdout, picture.data(), picture.size()) ? 0 : 1;
    std::FILE *file = std::fopen(options.out->c_str(), "wb");
    const bool written = file && writeAll(file, picture.data(), picture.size());
    if (file && std::fclose(file) != 0)
        return 1;
    if (!written) {
        std::fprintf(stderr, "sorvane-qr: cannot write %s\n", options.out->c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::optional<Options> options = parseArguments(argc, argv);
    if (!options) {
        std::fputs(kUsage.data(), stderr);
        return 1;
    }
    try {
        const sorvane::text::GbString content = sorvane::text::utf8ToGb(options->text);
        return options->matrix ? printMatrix(content, options->level) : writePicture(content, *options);
    } catch (const sorvane::qr::ModuleError &e) {
        std::string message = e.boxTextUtf8();
        for (std::size_t at = message.find("\r\n"); at != std::string::npos; at = message.find("\r\n", at))
            message.erase(at, 1);
        std::fprintf(stderr, "%s\n", message.c_str());
        return 2;
    }
}
