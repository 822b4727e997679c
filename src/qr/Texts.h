// Every fixed text of the QR code module, in one place. The literals are UTF-8 (the
// encoding of our sources); error reports convert them to GB18030 like all program text.
#pragma once

#include <string_view>

namespace sorvane::qr::texts {

// Module and class names, the sources of error reports.
inline constexpr std::string_view kModule = "二维码模块";
inline constexpr std::string_view kGF256 = "GF256";
inline constexpr std::string_view kGFP = "GFP";
inline constexpr std::string_view kGFPP = "GFPP";
inline constexpr std::string_view kRsEncoder = "RS编码器类";
inline constexpr std::string_view kBitVector = "位向量类";
inline constexpr std::string_view kBitVectorSub = "位向量子类";
inline constexpr std::string_view kEncoder = "编码类";
inline constexpr std::string_view kQrCode = "二维码类";
inline constexpr std::string_view kByteMatrix = "字节矩阵类";
inline constexpr std::string_view kMatrixBuilder = "矩阵应用类";
inline constexpr std::string_view kMaskUtil = "掩码辅助类";
inline constexpr std::string_view kByteBuffer = "ByteBuffer";

// The error box.
inline constexpr std::string_view kNone = "无";
inline constexpr std::string_view kBoxTitle = "程序运行异常提示";
inline constexpr std::string_view kBoxSource = "异常来源：[";
inline constexpr std::string_view kBoxMethod = "]\r\n方法名称：";
inline constexpr std::string_view kBoxInfo = "()\r\n异常信息：";

// Mode names.
inline constexpr std::string_view kModeNumeric = "数字";
inline constexpr std::string_view kModeAlphanumeric = "字母数字";
inline constexpr std::string_view kModeByte = "字节";

// Guards of our own: array indexes and sizes that callers got wrong.
inline constexpr std::string_view kIndexOutOfRange = "数组下标越界";
inline constexpr std::string_view kBadSize = "矩阵尺寸无效";

// Polynomials and Reed-Solomon.
inline constexpr std::string_view kAddOrSubtract = "加或减";
inline constexpr std::string_view kMultiply = "multiply";
inline constexpr std::string_view kFieldsDiffer = "GF256信息不相同";
inline constexpr std::string_view kMultiplyByMonomial = "叠加单项式";
inline constexpr std::string_view kDimensionBelowZero = "维度小于0";
inline constexpr std::string_view kBuildMonomial = "构造单项式";
inline constexpr std::string_view kDegreeBelowZero = "度小于0";
inline constexpr std::string_view kDivide = "分离";
inline constexpr std::string_view kDivideFieldsDiffer = "GF256不同";
inline constexpr std::string_view kDivisorZero = "除数为0";
inline constexpr std::string_view kRsInit = "RS编码器";
inline constexpr std::string_view kRsFieldDiffers = "GF标识不相同";
inline constexpr std::string_view kEncode = "编码";
inline constexpr std::string_view kNoEcBytes = "没有容错字节";
inline constexpr std::string_view kNoDataBytes = "未提供数据字节";

// Bit vectors.
inline constexpr std::string_view kGetBit = "取位值";
inline constexpr std::string_view kIndexExceeded = "索引超限";
inline constexpr std::string_view kAppendBit = "追加位";
inline constexpr std::string_view kBitNotBinary = "位数据只能是0或1";
inline constexpr std::string_view kXor = "异或";
inline constexpr std::string_view kXorSizesDiffer = "两个位向量长度不同，不能做异或运算。";

// Registries of the QR code record.
inline constexpr std::string_view kVersionByNumber = "取版本_通过版本号";
inline constexpr std::string_view kVersionNumberRange = "版本号不在0到40之间。当前版本号：";
inline constexpr std::string_view kVersionByDimension = "取版本_通过维长度";
inline constexpr std::string_view kDimensionInvalid = "维长度不为4的位数加1。当前维数：";
inline constexpr std::string_view kLevelByIndex = "取容错级别_按索引";
inline constexpr std::string_view kLevelIndexInvalid = "索引异常。当前索引：";
inline constexpr std::string_view kModuleValue = "矩阵取值";
inline constexpr std::string_view kModuleValueInvalid = "值异常，当前值为：";
inline constexpr std::string_view kSetByteMatrix = "置字节矩阵()";
inline constexpr std::string_view kNotAMatrix = "不是矩阵";

// Data encoder.
inline constexpr std::string_view kInvalidSymbol = "无效的二维码";
inline constexpr std::string_view kInitQrCode = "初始化二维码";
inline constexpr std::string_view kAppendAlphanumeric = "追加字母数字字节";
inline constexpr std::string_view kInvalidValue = "无效值";
inline constexpr std::string_view kAppendLength = "追加长度信息";
inline constexpr std::string_view kTooMuchInformation = "要添加信息过多";
inline constexpr std::string_view kTerminateBits = "结束数据位";
inline constexpr std::string_view kCannotFill = "数据无法填充";
inline constexpr std::string_view kLengthNotCapacity = "位长度不等于容量";
inline constexpr std::string_view kInterleave = "交错容错字节";
inline constexpr std::string_view kBitsDataMismatch = "位数和数据字节数不匹配";
inline constexpr std::string_view kOffsetMismatch = "数据字节数写偏移量不匹配";
inline constexpr std::string_view kInterleaveFailed = "交错出错";
inline constexpr std::string_view kBlockCounts = "根据块ID取数据字节数和容错字节数";

// Matrix builder.
inline constexpr std::string_view kEmbedFinder = "插入位置探测图";
inline constexpr std::string_view kFinderNot7x7 = "方位检测标识异常，不是7*7矩阵。";
inline constexpr std::string_view kFinderCellTaken = "方位检测标识异常，当前位置有空值。当前行索引：";
inline constexpr std::string_view kColumnIndex = "；列索引：";
inline constexpr std::string_view kEmbedDarkModule = "左下角插入黑点";
inline constexpr std::string_view kEmptyValue = "空值";
inline constexpr std::string_view kEmbedAlignment = "插入方位调整标识";
inline constexpr std::string_view kAlignmentNot5x5 = "定位探测图矩阵维度不正确";
inline constexpr std::string_view kValueEmpty = "值为空";
inline constexpr std::string_view kEmbedTiming = "插入定位基线";
inline constexpr std::string_view kMarkTypeInfo = "标记类型信息位";
inline constexpr std::string_view kMaskInvalid = "掩图无效";
inline constexpr std::string_view kTypeInfoLength = "位向量长度不对。";
inline constexpr std::string_view kMarkVersionInfo = "标记版本信息位";
inline constexpr std::string_view kVersionInfoLength = "版本信息不为18位";
inline constexpr std::string_view kEmbedData = "插入数据信息位";
inline constexpr std::string_view kDataNotPlaced = "数据位未被全部填充，n：";
inline constexpr std::string_view kBitVectorSize = "；位向量大小：";
inline constexpr std::string_view kEmbedHorizontalSeparator = "插入水平分割图";
inline constexpr std::string_view kHorizontalSeparatorInvalid = "无效的水平分割图";
inline constexpr std::string_view kEmbedVerticalSeparator = "插入垂直分割图";
inline constexpr std::string_view kVerticalSeparatorInvalid = "无效的垂直分割图";
inline constexpr std::string_view kSeparatorCellTaken = "矩阵当前操作位数据不为空。i：";
inline constexpr std::string_view kSeparatorX = "；x：";
inline constexpr std::string_view kSeparatorY = "；y：";

// Masks.
inline constexpr std::string_view kDataMaskBit = "取数据掩码位";
inline constexpr std::string_view kMaskInvalidDot = "掩图无效。";

} // namespace sorvane::qr::texts
