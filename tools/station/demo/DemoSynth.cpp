// Build-time generator of the station's demo catalogues.
//
//   sorvane-demo-synth --out DIR --wav-dir DIR [--tempo-scale X] [--max-seconds S] SCORE...
//
// For every score it writes the melody as 16-bit mono PCM (<stem>.wav in the wav
// directory, encoded to MP3 by the build afterwards), a drawn cover (<stem>.png) and,
// when the score has words, time-tagged lyrics (<stem>.lrc); then it writes the
// catalogue.ini that lists them all, with audio files named <stem>.mp3.
//
// Score format (UTF-8): "key = value" lines for the song's data, then a "[notes]"
// section where each line is a phrase of jianpu notes, optionally followed by
// " : " and the words sung to it. The words become one lyric line tagged with the
// time of the phrase's first note.
// Note token: degree 1-7 (0 is a rest), then any of ' (octave up), , (octave down),
// # and b; then its length: one beat, halved by each _, times 1.5 with a ., plus one
// beat for each -. A | between notes is ignored.

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kSampleRate = 44100;
constexpr double kLeadIn = 0.25; // seconds of silence before the first note
constexpr double kTail = 0.6; // seconds left for the last note to ring out
constexpr double kPi = 3.14159265358979323846;

struct Note
{
    double frequency = 0; // 0 for a rest
    double beats = 1;
};

struct Phrase
{
    std::vector<Note> notes;
    std::string words;
};

struct Score
{
    std::string stem;
    std::map<std::string, std::string> fields;
    std::vector<Phrase> phrases;

    const std::string &field(const std::string &key) const
    {
        auto it = fields.find(key);
        if (it == fields.end())
            throw std::runtime_error(stem + ": missing \"" + key + "\"");
        return it->second;
    }
};

std::string trim(const std::string &s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// MIDI number of a note name such as "F4", "Eb4" or "C#5".
int midiOfName(const std::string &name)
{
    static const std::map<char, int> base { { 'C', 0 }, { 'D', 2 }, { 'E', 4 }, { 'F', 5 }, { 'G', 7 },
        { 'A', 9 }, { 'B', 11 } };
    if (name.size() < 2 || !base.count(name[0]))
        throw std::runtime_error("bad tonic \"" + name + "\"");
    int semitone = base.at(name[0]);
    size_t i = 1;
    if (name[i] == '#' || name[i] == 'b') {
        semitone += name[i] == '#' ? 1 : -1;
        ++i;
    }
    return (std::stoi(name.substr(i)) + 1) * 12 + semitone;
}

Note parseNote(const std::string &token, int tonicMidi)
{
    static constexpr std::array<int, 7> major { 0, 2, 4, 5, 7, 9, 11 };
    if (token.empty() || token[0] < '0' || token[0] > '7')
        throw std::runtime_error("bad note \"" + token + "\"");
    const int degree = token[0] - '0';
    int octave = 0, accidental = 0, halvings = 0, extraBeats = 0;
    bool dotted = false;
    for (size_t i = 1; i < token.size(); ++i) {
        switch (token[i]) {
        case '\'':
            ++octave;
            break;
        case ',':
            --octave;
            break;
        case '#':
            ++accidental;
            break;
        case 'b':
            --accidental;
            break;
        case '_':
            ++halvings;
            break;
        case '.':
            dotted = true;
            break;
        case '-':
            ++extraBeats;
            break;
        default:
            throw std::runtime_error("bad note \"" + token + "\"");
        }
    }
    Note note;
    note.beats = std::ldexp(1.0, -halvings) * (dotted ? 1.5 : 1.0) + extraBeats;
    if (degree > 0) {
        const int midi = tonicMidi + major[degree - 1] + accidental + 12 * octave;
        note.frequency = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
    }
    return note;
}

Score readScore(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    Score score;
    score.stem = path.stem().string();
    std::vector<std::string> noteLines;
    bool inNotes = false;
    for (std::string line; std::getline(in, line);) {
        line = trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line == "[notes]") {
            inNotes = true;
        } else if (inNotes) {
            noteLines.push_back(line);
        } else {
            const auto eq = line.find('=');
            if (eq == std::string::npos)
                throw std::runtime_error(score.stem + ": expected key = value: " + line);
            score.fields[trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
        }
    }
    const int tonic = midiOfName(score.field("tonic"));
    for (const auto &line : noteLines) {
        Phrase phrase;
        std::string notes = line;
        if (const auto colon = line.find(" : "); colon != std::string::npos) {
            notes = line.substr(0, colon);
            phrase.words = trim(line.substr(colon + 3));
        }
        std::istringstream tokens(notes);
        for (std::string token; tokens >> token;) {
            if (token != "|")
                phrase.notes.push_back(parseNote(token, tonic));
        }
        score.phrases.push_back(std::move(phrase));
    }
    return score;
}

// Relative strengths of the first harmonics and how fast a note dies away.
struct Timbre
{
    std::array<double, 5> harmonics;
    double decayPerSecond;
};

Timbre timbreOf(const std::string &name)
{
    if (name == "pluck")
        return { { 1.0, 0.5, 0.25, 0.12, 0.06 }, 3.2 };
    if (name == "musicbox")
        return { { 1.0, 0.1, 0.3, 0.0, 0.08 }, 2.2 };
    if (name == "flute")
        return { { 1.0, 0.35, 0.12, 0.05, 0.02 }, 0.4 };
    if (name == "organ")
        return { { 1.0, 0.6, 0.35, 0.2, 0.1 }, 0.15 };
    throw std::runtime_error("unknown timbre \"" + name + "\"");
}

struct Rendering
{
    std::vector<int16_t> samples;
    std::vector<std::pair<double, std::string>> lyricLines; // start time, words
    double seconds = 0;
};

Rendering render(const Score &score, double tempoScale, double maxSeconds)
{
    const double secondsPerBeat = 60.0 / (std::stod(score.field("tempo")) * tempoScale);
    const Timbre timbre = timbreOf(score.field("timbre"));

    Rendering out;
    double time = kLeadIn;
    std::vector<double> mix;
    for (const auto &phrase : score.phrases) {
        if (!phrase.words.empty())
            out.lyricLines.emplace_back(time, phrase.words);
        for (const auto &note : phrase.notes) {
            const double length = note.beats * secondsPerBeat;
            if (note.frequency > 0) {
                // The note sounds a little past its written end so phrases stay legato.
                const double sounding = length + 0.08;
                const auto first = static_cast<size_t>(time * kSampleRate);
                const auto count = static_cast<size_t>(sounding * kSampleRate);
                if (mix.size() < first + count)
                    mix.resize(first + count, 0.0);
                for (size_t i = 0; i < count; ++i) {
                    const double t = static_cast<double>(i) / kSampleRate;
                    const double attack = std::min(1.0, t / 0.008);
                    const double release = std::min(1.0, (sounding - t) / 0.06);
                    const double envelope = attack * release * std::exp(-timbre.decayPerSecond * t);
                    double v = 0;
                    for (size_t h = 0; h < timbre.harmonics.size(); ++h)
                        v += timbre.harmonics[h] * std::sin(2 * kPi * note.frequency * (h + 1) * t);
                    mix[first + i] += envelope * v;
                }
            }
            time += length;
        }
    }
    double total = time + kTail;
    if (maxSeconds > 0 && total > maxSeconds)
        total = maxSeconds;
    mix.resize(static_cast<size_t>(total * kSampleRate), 0.0);

    // A cut song fades out instead of ending in a click.
    const size_t fade = std::min(mix.size(), static_cast<size_t>(0.15 * kSampleRate));
    for (size_t i = 0; i < fade; ++i)
        mix[mix.size() - 1 - i] *= static_cast<double>(i) / fade;

    double peak = 1e-9;
    for (double v : mix)
        peak = std::max(peak, std::abs(v));
    out.samples.reserve(mix.size());
    for (double v : mix)
        out.samples.push_back(static_cast<int16_t>(std::lround(v / peak * 0.6 * 32767)));
    out.seconds = total;
    // A line must start early enough to be seen before the song ends.
    std::erase_if(out.lyricLines, [&](const auto &l) { return l.first > total - 0.5; });
    return out;
}

void putLe(std::string &out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void writeFile(const fs::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void writeWav(const fs::path &path, const std::vector<int16_t> &samples)
{
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    putLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, 1, 2); // PCM
    putLe(out, 1, 2); // mono
    putLe(out, kSampleRate, 4);
    putLe(out, kSampleRate * 2, 4);
    putLe(out, 2, 2);
    putLe(out, 16, 2);
    out += "data";
    putLe(out, dataBytes, 4);
    for (int16_t s : samples)
        putLe(out, static_cast<uint16_t>(s), 2);
    writeFile(path, out);
}

std::string lrcTime(double seconds)
{
    const auto hundredths = static_cast<unsigned>(seconds * 100) % 600000;
    char buf[32];
    std::snprintf(
        buf, sizeof buf, "%02u:%02u.%02u", hundredths / 6000, hundredths / 100 % 60, hundredths % 100);
    return buf;
}

void writeLrc(const fs::path &path, const Score &score, const Rendering &r)
{
    std::string out = "[ti:" + score.field("title") + "]\n[ar:" + score.field("artist")
        + "]\n[al:" + score.field("album") + "]\n";
    for (const auto &[time, words] : r.lyricLines)
        out += "[" + lrcTime(time) + "]" + words + "\n";
    writeFile(path, out);
}

// ---- cover picture -------------------------------------------------------------

struct Rgb
{
    double r, g, b;
};

Rgb parseColour(const std::string &hex)
{
    const unsigned long v = std::stoul(hex, nullptr, 16);
    return { static_cast<double>((v >> 16) & 0xFF), static_cast<double>((v >> 8) & 0xFF),
        static_cast<double>(v & 0xFF) };
}

Rgb mixColour(Rgb a, Rgb b, double t)
{
    return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}

// A note head: an ellipse tilted up to the right.
bool inNoteHead(double x, double y, double cx, double cy)
{
    const double c = std::cos(-0.35), s = std::sin(-0.35);
    const double dx = (x - cx) * c - (y - cy) * s, dy = (x - cx) * s + (y - cy) * c;
    return (dx * dx) / (10.0 * 10.0) + (dy * dy) / (7.0 * 7.0) <= 1.0;
}

// Two beamed quavers in the upper left corner, then a record whose label carries the
// song's accent colour.
Rgb coverPixel(double x, double y, int size, Rgb top, Rgb bottom, Rgb accent)
{
    Rgb c = mixColour(top, bottom, (x + y) / (2.0 * size));
    const bool stem1 = x >= 35 && x <= 38 && y >= 20 && y <= 58;
    const bool stem2 = x >= 63 && x <= 66 && y >= 14 && y <= 52;
    const double beamY = 20 + (x - 35) * (14.0 - 20.0) / (66.0 - 35.0);
    const bool beam = x >= 35 && x <= 66 && y >= beamY && y <= beamY + 7;
    if (inNoteHead(x, y, 28, 59) || inNoteHead(x, y, 56, 53) || stem1 || stem2 || beam)
        c = accent;

    const double cx = size * 0.56, cy = size * 0.58, dx = x - cx, dy = y - cy;
    const double r = std::sqrt(dx * dx + dy * dy);
    const double radius = size * 0.36;
    if (r <= radius) {
        const double groove = 24 + 7 * std::sin(r * 1.3);
        const double angle = std::atan2(dy, dx);
        const double sheen = 38 * std::pow(std::abs(std::cos(angle - 0.8)), 12);
        const double v = groove + sheen;
        c = { v, v, v };
        if (r <= radius * 0.36)
            c = mixColour(accent, { 255, 255, 255 }, 0.15 * (r / (radius * 0.36)));
        if (r <= 3.5)
            c = mixColour(top, bottom, 0.5);
    }
    return c;
}

std::string pngChunk(const char *type, const std::string &data)
{
    std::string chunk;
    for (int i = 3; i >= 0; --i)
        chunk.push_back(static_cast<char>((data.size() >> (8 * i)) & 0xFF));
    std::string body = std::string(type, 4) + data;
    chunk += body;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef *>(body.data()), static_cast<uInt>(body.size()));
    for (int i = 3; i >= 0; --i)
        chunk.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
    return chunk;
}

void writeCover(const fs::path &path, const Score &score)
{
    std::istringstream colours(score.field("colours"));
    std::string a, b, c;
    colours >> a >> b >> c;
    const Rgb top = parseColour(a), bottom = parseColour(b), accent = parseColour(c);

    constexpr int size = 240, ss = 3; // ss × ss samples per pixel smooth the edges
    std::string raw;
    raw.reserve(static_cast<size_t>(size) * (size * 3 + 1));
    for (int y = 0; y < size; ++y) {
        raw.push_back(0); // filter type None
        for (int x = 0; x < size; ++x) {
            Rgb sum { 0, 0, 0 };
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    const Rgb p
                        = coverPixel(x + (sx + 0.5) / ss, y + (sy + 0.5) / ss, size, top, bottom, accent);
                    sum = { sum.r + p.r, sum.g + p.g, sum.b + p.b };
                }
            for (double v : { sum.r, sum.g, sum.b })
                raw.push_back(static_cast<char>(std::clamp(std::lround(v / (ss * ss)), 0L, 255L)));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef *>(packed.data()), &packedSize,
            reinterpret_cast<const Bytef *>(raw.data()), static_cast<uLong>(raw.size()), 9)
        != Z_OK)
        throw std::runtime_error("cannot compress the cover");
    packed.resize(packedSize);

    std::string ihdr;
    for (uint32_t v : { static_cast<uint32_t>(size), static_cast<uint32_t>(size) })
        for (int i = 3; i >= 0; --i)
            ihdr.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB, no interlace
    writeFile(path,
        std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) + pngChunk("IDAT", packed)
            + pngChunk("IEND", ""));
}

} // namespace

int main(int argc, char **argv)
{
    try {
        fs::path outDir, wavDir;
        double tempoScale = 1.0, maxSeconds = 0;
        std::vector<fs::path> scores;
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            auto next = [&]() -> std::string {
                if (i + 1 >= argc)
                    throw std::runtime_error(arg + " needs a value");
                return argv[++i];
            };
            if (arg == "--out")
                outDir = next();
            else if (arg == "--wav-dir")
                wavDir = next();
            else if (arg == "--tempo-scale")
                tempoScale = std::stod(next());
            else if (arg == "--max-seconds")
                maxSeconds = std::stod(next());
            else
                scores.emplace_back(arg);
        }
        if (outDir.empty() || wavDir.empty() || scores.empty() || tempoScale <= 0)
            throw std::runtime_error("usage: sorvane-demo-synth --out DIR --wav-dir DIR "
                                     "[--tempo-scale X] [--max-seconds S] SCORE...");
        fs::create_directories(outDir);
        fs::create_directories(wavDir);

        std::string catalogue = "# Generated by sorvane-demo-synth; see tools/station/Catalogue.h.\n";
        for (const auto &path : scores) {
            const Score score = readScore(path);
            const Rendering r = render(score, tempoScale, maxSeconds);
            writeWav(wavDir / (score.stem + ".wav"), r.samples);
            writeCover(outDir / (score.stem + ".png"), score);
            catalogue += "\n[song]\n";
            for (const char *key : { "sid", "ssid", "title", "artist", "album", "album_path", "channel" })
                catalogue += std::string(key) + " = " + score.field(key) + "\n";
            catalogue += "audio = " + score.stem + ".mp3\ncover = " + score.stem + ".png\nkbps = 128\n";
            catalogue += "length = " + std::to_string(std::lround(r.seconds)) + "\n";
            if (!r.lyricLines.empty()) {
                writeLrc(outDir / (score.stem + ".lrc"), score, r);
                catalogue += "lyric = " + score.stem + ".lrc\n";
            }
        }
        writeFile(outDir / "catalogue.ini", catalogue);
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "sorvane-demo-synth: %s\n", e.what());
        return 1;
    }
}
