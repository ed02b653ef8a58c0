#include <gtest/gtest.h>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(Scenario, Smoke) {
    Session s;
    TempDir d;
    d.file("alpha.txt", "hello");
    d.dir("beta");
    s.settings(0, 0, d.path, 1);
    s.script.wait(3000).then([&] { writePng(s.screen(), 0, "/tmp/kestrel-smoke.png"); }).key(27);
    EXPECT_EQ(s.run(), 0);
    for (int r = 1; r <= 30; ++r) printf("%s\n", s.row(r).c_str());
}
