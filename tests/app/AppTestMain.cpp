// SPDX-License-Identifier: GPL-3.0-or-later
// Widgets need one QApplication for the whole run. Settings, recovery files and
// the single-instance socket go to scratch folders, so that no test touches the
// user's own or meets the user's Pexlora.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pexlora::test {
// The recovery test runs this binary a second time as a Pexlora to be killed.
bool isEditingInstance();
int runEditingInstance();
} // namespace pexlora::test

int main(int argc, char* argv[]) {
    QTemporaryDir config;
    QTemporaryDir data;
    QTemporaryDir runtime;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (pexlora::test::isEditingInstance())
        return pexlora::test::runEditingInstance();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
