#include "GuiTestApp.h"

namespace {
[[maybe_unused]] auto *const environment
    = ::testing::AddGlobalTestEnvironment(new sorvane::lyrics::testing::GuiTestApp);
}
