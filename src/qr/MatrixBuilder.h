// Places the function patterns, the format and version information and the masked data
// bits of a symbol into a byte matrix (0 light, 1 dark, 255 not placed yet).
#pragma once

#include "qr/BitVector.h"
#include "qr/ByteMatrix.h"
#include "qr/Mode.h"

#include <string_view>
#include <vector>

namespace sorvane::qr {

using IntTable = std::vector<std::vector<int>>;

// Splits text into rows and values and reads each value as a number truncated toward
// zero; the table has as many columns as the first row has values.
MatrixData parseTable(std::string_view text, std::string_view rowSeparator, std::string_view columnSeparator);
// Row `row` (from 1) of the table, empty when there is no such row.
std::vector<int> tableRow(const IntTable &table, int row);
// value >> count with zeros entering from the left, as for an unsigned 32-bit number.
int unsignedShiftRight(int value, int count);

class 矩阵应用类
{
public:
    矩阵应用类() { init(); }

    void buildMatrix(
        const 位向量类 &dataBits, const EcLevel &ecLevel, int version, int mask, 字节矩阵类 &matrix) const;
    void clearMatrix(字节矩阵类 &matrix) const;
    void embedBasicPatterns(int version, 字节矩阵类 &matrix) const;
    void embedFindersAndSeparators(字节矩阵类 &matrix) const;
    static bool isEmpty(int value) { return value == 255; }
    static bool isValidValue(int value) { return value == 0 || value == 1 || value == 255; }
    void init();
    void 插入位置探测图(int xStart, int yStart, 字节矩阵类 &matrix) const;
    void 左下角插入黑点(字节矩阵类 &matrix) const;
    void embedAlignmentPatterns(int version, 字节矩阵类 &matrix) const;
    void 插入方位调整标识(int xStart, int yStart, 字节矩阵类 &matrix) const;
    void 插入定位基线(字节矩阵类 &matrix) const;
    static int findMsbSet(int value);
    static int bchCode(int value, int generator);
    void 标记类型信息位(const EcLevel &ecLevel, int mask, 位向量类 &bits) const;
    void embedTypeInfo(const EcLevel &ecLevel, int mask, 字节矩阵类 &matrix) const;
    void 标记版本信息位(int version, 位向量类 &bits) const;
    void embedVersionInfo(int version, 字节矩阵类 &matrix) const;
    void 插入数据信息位(const 位向量类 &dataBits, int mask, 字节矩阵类 &matrix) const;
    void 插入水平分割图(int xStart, int yStart, 字节矩阵类 &matrix) const;
    void 插入垂直分割图(int xStart, int yStart, 字节矩阵类 &matrix) const;

    struct Tables
    {
        IntTable finderPattern;
        IntTable horizontalSeparator;
        IntTable verticalSeparator;
        IntTable alignmentPattern;
        IntTable alignmentCentres;
        IntTable formatInfoCoordinates;
    };
    const Tables &tables() const { return *m_tables; }

private:
    // The six tables are parsed once for the program and never change, so every builder
    // reads the same ones.
    const Tables *m_tables = nullptr;
};

} // namespace sorvane::qr
