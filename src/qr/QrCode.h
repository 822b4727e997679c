// The QR code record (one encoded symbol) and the module-wide registries it fills at
// start-up: modes, versions, error-correction levels and the field.
#pragma once

#include "qr/ByteMatrix.h"
#include "qr/GF256.h"
#include "qr/Version.h"

#include <array>
#include <vector>

namespace sorvane::qr {

class 二维码类
{
public:
    // The seven numbers start unset (−1).
    二维码类() = default;

    // The module initialisation: resets this record, fills the modes, the versions and
    // the levels and builds the field. It runs once, on the module record, before the
    // first use of any registry; running it again refills them with the same content.
    void initModule();
    void initFields();
    void initModesEntry();
    const Mode &mode() const { return m_mode; }
    void setMode(Mode mode) { m_mode = std::move(mode); }
    // The mode with indicator 1, 2 or 4; any other value gives an empty mode.
    Mode modeForBits(int bits) const;
    void initModes();
    void initVersionsEntry();
    Version 取版本_通过版本号(int number) const;
    Version 取版本_通过维长度(int dimension) const;
    void buildVersions();
    void initLevelsEntry();
    // 1 = L, 2 = M, 3 = Q, 4 = H
    EcLevel 取容错级别_按索引(int index) const;
    const EcLevel &ecLevel() const { return m_ecLevel; }
    void setEcLevel(EcLevel level) { m_ecLevel = std::move(level); }
    void initLevels();

    int version() const { return m_version; }
    void setVersion(int v) { m_version = v; }
    int matrixWidth() const { return m_matrixWidth; }
    void setMatrixWidth(int w) { m_matrixWidth = w; }
    int maskPattern() const { return m_maskPattern; }
    void setMaskPattern(int mask) { m_maskPattern = mask; }
    const 字节矩阵类 &matrix() const { return m_matrix; }
    void setMatrix(字节矩阵类 matrix) { m_matrix = std::move(matrix); }
    int totalBytes() const { return m_totalBytes; }
    void setTotalBytes(int n) { m_totalBytes = n; }
    int dataBytes() const { return m_dataBytes; }
    void setDataBytes(int n) { m_dataBytes = n; }
    int ecBytes() const { return m_ecBytes; }
    void setEcBytes(int n) { m_ecBytes = n; }
    int rsBlocks() const { return m_rsBlocks; }
    void setRsBlocks(int n) { m_rsBlocks = n; }
    // True when none of the seven numbers is −1; nothing else is tested.
    bool isValid() const;
    // The module at (x, y) of the finished matrix, which must be 0 or 1.
    int 矩阵取值(int x, int y) const;
    static bool isValidMaskPattern(int mask) { return mask >= 0 && mask <= 7; }
    void reset();

private:
    Mode m_mode;
    EcLevel m_ecLevel;
    int m_version = -1;
    int m_matrixWidth = -1;
    int m_maskPattern = -1;
    int m_totalBytes = -1;
    int m_dataBytes = -1;
    int m_ecBytes = -1;
    int m_rsBlocks = -1;
    字节矩阵类 m_matrix;
};

// The level registry: the four levels by name and, in ordinal order, in `list`.
struct LevelRegistry
{
    EcLevel L;
    EcLevel M;
    EcLevel Q;
    EcLevel H;
    std::array<EcLevel, 4> list; // list[0] is L (index 1 of 取容错级别_按索引)
};

// The module-wide objects. The first call of any of them runs the module initialisation;
// afterwards they are only read, except moduleQrCode, which every share encoding rewrites.
// The module is meant for one thread (the GUI thread).
const std::array<Mode, 3> &modeObjects(); // numeric, alphanumeric, byte
const std::vector<Version> &versionList(); // version n at index n − 1
const LevelRegistry &levelRegistry();
二维码类 &moduleQrCode();

} // namespace sorvane::qr
