#include "qr/QrCode.h"

#include "qr/IntList.h"
#include "qr/Texts.h"
#include "qr/VersionTable.h"

#include <string>

namespace sorvane::qr {

namespace {

// The module-wide objects, created empty with the program and filled by the module
// record's initialisation. The record's init operations write here directly; everyone
// else goes through ensureModule().
struct ModuleObjects
{
    std::array<Mode, 3> modes;
    std::vector<Version> versions;
    GF256 field;
    LevelRegistry levels;
    二维码类 record;
};

ModuleObjects &objects()
{
    static ModuleObjects instance;
    return instance;
}

ModuleObjects &ensureModule()
{
    ModuleObjects &o = objects();
    static const bool initialised = [&o] {
        o.record.initModule();
        return true;
    }();
    (void)initialised;
    return o;
}

} // namespace

const GF256 &qrField()
{
    return ensureModule().field;
}

const std::array<Mode, 3> &modeObjects()
{
    return ensureModule().modes;
}

const std::vector<Version> &versionList()
{
    return ensureModule().versions;
}

const LevelRegistry &levelRegistry()
{
    return ensureModule().levels;
}

二维码类 &moduleQrCode()
{
    return ensureModule().record;
}

void 二维码类::initModule()
{
    reset();
    initModesEntry();
    initVersionsEntry();
    initLevelsEntry();
    initFields();
}

void 二维码类::initFields()
{
    objects().field.init(285);
}

void 二维码类::initModesEntry()
{
    initModes();
}

Mode 二维码类::modeForBits(int bits) const
{
    const auto &modes = ensureModule().modes;
    switch (bits) {
    case 1:
        return modes[0];
    case 2:
        return modes[1];
    case 4:
        return modes[2];
    default:
        return Mode();
    }
}

void 二维码类::initModes()
{
    static constexpr std::array<std::string_view, 3> widths = { "10,12,14", "9,11,13", "8,16,16" };
    static constexpr std::array<int, 3> indicators = { 1, 2, 4 };
    static constexpr std::array<std::string_view, 3> names
        = { texts::kModeNumeric, texts::kModeAlphanumeric, texts::kModeByte };
    for (std::size_t i = 0; i < 3; ++i) {
        Mode mode;
        mode.init(parseIntList(widths[i], ","), indicators[i], text::utf8ToGb(names[i]));
        objects().modes[i] = std::move(mode);
    }
}

void 二维码类::initVersionsEntry()
{
    buildVersions();
}

Version 二维码类::取版本_通过版本号(int number) const
{
    const auto &versions = ensureModule().versions;
    if (number < 1 || number > 40 || versions.empty())
        fail(texts::kQrCode, texts::kVersionByNumber,
            std::string(texts::kVersionNumberRange) + std::to_string(number));
    return versions[static_cast<std::size_t>(number - 1)];
}

Version 二维码类::取版本_通过维长度(int dimension) const
{
    if (dimension % 4 != 1)
        fail(texts::kQrCode, texts::kVersionByDimension,
            std::string(texts::kDimensionInvalid) + std::to_string(dimension));
    return 取版本_通过版本号((dimension - 17) / 4);
}

void 二维码类::buildVersions()
{
    std::vector<Version> versions;
    versions.reserve(tables::kVersions.size());
    int number = 0;
    for (const tables::VersionRow &row : tables::kVersions) {
        ++number;
        std::array<EcBlockSet, 4> sets;
        for (std::size_t level = 0; level < 4; ++level) {
            const tables::LevelBlocks &b = row.levels[level];
            EcBlockGroup group1;
            group1.init(b.count1, b.data1);
            if (b.count2 == 0) {
                sets[level].init1(b.ecPerBlock, group1);
            } else {
                EcBlockGroup group2;
                group2.init(b.count2, b.data2);
                sets[level].init2(b.ecPerBlock, group1, group2);
            }
        }
        Version version;
        version.init(number, parseIntList(row.alignmentCentres, ","), sets[0], sets[1], sets[2], sets[3]);
        versions.push_back(std::move(version));
    }
    objects().versions = std::move(versions);
}

void 二维码类::initLevelsEntry()
{
    initLevels();
}

EcLevel 二维码类::取容错级别_按索引(int index) const
{
    const auto &list = ensureModule().levels.list;
    if (index < 1 || index > static_cast<int>(list.size()))
        fail(texts::kQrCode, texts::kLevelByIndex,
            std::string(texts::kLevelIndexInvalid) + std::to_string(index));
    return list[static_cast<std::size_t>(index - 1)];
}

void 二维码类::initLevels()
{
    LevelRegistry &r = objects().levels;
    r.L.init(1, 1, "L");
    r.M.init(2, 0, "M");
    r.Q.init(3, 3, "Q");
    r.H.init(4, 2, "H");
    r.list = { r.L, r.M, r.Q, r.H };
}

bool 二维码类::isValid() const
{
    return m_version != -1 && m_matrixWidth != -1 && m_maskPattern != -1 && m_totalBytes != -1
        && m_dataBytes != -1 && m_ecBytes != -1 && m_rsBlocks != -1;
}

int 二维码类::矩阵取值(int x, int y) const
{
    const int value = m_matrix.cellAt(x, y);
    if (value != 0 && value != 1)
        fail(texts::kQrCode, texts::kModuleValue,
            std::string(texts::kModuleValueInvalid) + std::to_string(value));
    return value;
}

void 二维码类::reset()
{
    m_version = m_matrixWidth = m_maskPattern = m_totalBytes = m_dataBytes = m_ecBytes = m_rsBlocks = -1;
}

} // namespace sorvane::qr
