// The settings reader on any text: the four values, written back as at exit, read back the same.
#include "frame/settings.h"
#include "fuzz_check.h"

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Settings s = parseSettings(std::string(fuzzText(data, size)));
    FUZZ_CHECK((s.BigSmall == 0 || s.BigSmall == 1) && s.BackGround >= 0 && s.BackGround <= 3);
    FUZZ_CHECK(s.path.empty() || (s.path.front() != ' ' && s.path.back() != ' '));
    const std::string written = formatSettings(s.BigSmall, s.BackGround, s.path, s.SortList);
    const Settings again = parseSettings(written);
    FUZZ_CHECK(std::count(written.begin(), written.end(), '\n') == 4);
    FUZZ_CHECK(again.BigSmall == s.BigSmall && again.BackGround == s.BackGround && again.SortList == s.SortList &&
               (again.path == s.path || s.path.find_first_of("\r\n") != std::string::npos));
    return 0;
}
