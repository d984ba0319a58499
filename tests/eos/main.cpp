// SPDX-License-Identifier: GPL-3.0-or-later
// The Eos tests need an application object for their event loops. The binary also
// runs, inside a network namespace, the discovery round of NamespaceTest.cpp.
#include <QCoreApplication>
#include <cstring>
#include <gtest/gtest.h>

namespace pexlora::test {
int discoveryRoundInNamespace();
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--discovery-round-in-namespace") == 0)
        return pexlora::test::discoveryRoundInNamespace();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
