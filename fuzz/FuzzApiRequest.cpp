// Guards the decoding of API requests from other programs: any frame bytes decode without
// reading past them, and any data block given to any function code, at any size, leaves the
// document consistent and is never read or written past its end (ASan sees the exact size).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "database/VelkonDoc.h"
#include "frame/ApiRequests.h"
#include "fuzz/FuzzSupport.h"
#include "platform/ipc/WindowWire.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The wire: the length field decides how much is a frame.
    if (size >= 4) {
        const std::size_t length = winlink::wire::RequestFrameLength(data);
        winlink::Request request;
        const int fds[2] = {100, 101};
        if (length && length <= size) {
            std::vector<unsigned char> frame(data, data + length);
            FUZZ_CHECK(winlink::wire::DecodeRequest(frame.data(), frame.size(), fds, data[0] % 3,
                                                    request));
            for (const winlink::PassedBlock& b : request.blocks)
                FUZZ_CHECK(b.fd == -1 || b.handle != 0);
        }
    }

    CVelkonDoc doc;
    for (const char* id : {"ABC12345", "XYZ00001"}) FUZZ_CHECK(doc.AddNewID(id, "h"));
    const CString captions[7] = {"a", "b", "c", "d", "e", "f", "g"};
    const WPARAM code = data[0] % 24;
    // A heap copy of exactly the block's size, so that any access past it is caught.
    std::vector<char> block(data + 1, data + size);
    velkon_api::Run32(doc, data[1] & 1 ? captions : nullptr, code, block.data(), block.size());

    doc.m_anSortIndex.ForEach([&](int r) { FUZZ_CHECK(!doc.m_abDeleted[r]); });
    // The record line of the 16-bit API reads back as the same record.
    if (doc.GetRecordCount() > 0) {
        const CString line = velkon_api::RecordLine16(doc, 0);
        int tabs = 0;
        for (char c : line.View()) tabs += c == '\t';
        FUZZ_CHECK(tabs == 10);
    }
    const std::string_view bytes(block.data(), block.size());
    velkon_api::SetRecord(doc, CString(bytes.substr(0, 8)), CString(bytes));
    return 0;
}
