// One QApplication for all widget tests of this executable, made before the first test
// and deleted after the last.
#pragma once

#include <QApplication>
#include <gtest/gtest.h>

namespace sorvane::lyrics::testing {

class GuiTestApp : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "lyrics_ui_tests";
        static char *argv[] = { name, nullptr };
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication *m_app = nullptr;
};

} // namespace sorvane::lyrics::testing
