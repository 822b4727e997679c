#include "qr/ModuleError.h"
#include "qr/QrTestSupport.h"

#include <gtest/gtest.h>

namespace sorvane::qr {
namespace {

using test::gb;

TEST(ModuleError, CarriesTheRecordAndTheBoxText)
{
    try {
        reportModuleError(makeModuleErrorInfo(gb("位向量类"), gb("取位值"), gb("索引超限")));
        FAIL() << "no exception";
    } catch (const ModuleError &e) {
        EXPECT_EQ(e.info(), test::report("位向量类", "取位值", "索引超限"));
        EXPECT_EQ(
            std::string(e.what()), gb("异常来源：[位向量类]\r\n方法名称：取位值()\r\n异常信息：索引超限"));
        EXPECT_EQ(e.boxTextUtf8(), "异常来源：[位向量类]\r\n方法名称：取位值()\r\n异常信息：索引超限");
    }
    EXPECT_EQ(ModuleError::boxTitle(), gb("程序运行异常提示"));
    EXPECT_EQ(ModuleError::boxTitleUtf8(), "程序运行异常提示");
}

TEST(ModuleError, WithoutARecordEveryPartReadsNone)
{
    try {
        reportModuleError();
        FAIL() << "no exception";
    } catch (const ModuleError &e) {
        EXPECT_EQ(e.info(), test::report("无", "无", "无"));
        EXPECT_EQ(e.boxTextUtf8(), "异常来源：[无]\r\n方法名称：无()\r\n异常信息：无");
    }
}

} // namespace
} // namespace sorvane::qr
