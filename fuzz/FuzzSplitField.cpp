// Guards the cutting of record lines into fields: no byte is lost or invented, no field holds a
// tab, and every cut makes progress.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "database/RecordStore.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CString line{input};
    std::string joined;
    std::size_t fields = 0;
    while (!line.IsEmpty()) {
        const int before = line.GetLength();
        const CString field = CRecordStore::SplitField(line);
        FUZZ_CHECK(field.View().find('\t') == std::string_view::npos);
        FUZZ_CHECK(line.GetLength() < before);
        if (fields++ > 0) joined += '\t';
        joined += field.View();
    }
    // A tab at the very end leaves an empty rest, which the loop cannot tell from no rest.
    const std::size_t tabs = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\t'));
    if (!input.empty() && input.back() == '\t') {
        FUZZ_CHECK(joined + '\t' == input);
        FUZZ_CHECK(fields == tabs);
    } else {
        FUZZ_CHECK(joined == input);
        FUZZ_CHECK(fields == (input.empty() ? 0 : tabs + 1));
    }
    return 0;
}
