#include "platform/ipc/WindowWire.h"

namespace winlink::wire {

namespace {

void PutU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void PutU64(unsigned char* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t GetU32(const unsigned char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}
std::uint64_t GetU64(const unsigned char* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

}  // namespace

std::size_t RequestFrameLength(const unsigned char* header) {
    const std::uint32_t body = GetU32(header);
    return body == kRequestBody || body == kBlockRequestBody ? kHeader + body : 0;
}

std::size_t EncodeRequest(const Request& request, unsigned char (&frame)[kMaxRequestFrame]) {
    const bool blocks = request.blocks[0].handle || request.blocks[1].handle;
    PutU32(frame, blocks ? kBlockRequestBody : kRequestBody);
    PutU32(frame + 4, request.msg);
    PutU64(frame + 8, static_cast<std::uint64_t>(request.wParam));
    PutU64(frame + 16, static_cast<std::uint64_t>(static_cast<std::int64_t>(request.lParam)));
    if (!blocks) return kRequestFrame;
    for (int i = 0; i < 2; ++i) {
        frame[24 + 2 * i] = static_cast<unsigned char>(request.blocks[i].handle);
        frame[25 + 2 * i] = static_cast<unsigned char>(request.blocks[i].handle >> 8);
    }
    return kMaxRequestFrame;
}

bool DecodeRequest(const unsigned char* frame, std::size_t length, const int* fds,
                   std::size_t fdCount, Request& request) {
    request = Request{};
    if (length < kHeader || RequestFrameLength(frame) != length) return false;
    const unsigned char* p = frame + 4;
    request.msg = GetU32(p);
    request.wParam = static_cast<WPARAM>(GetU64(p + 4));
    request.lParam = static_cast<LPARAM>(static_cast<std::int64_t>(GetU64(p + 12)));
    if (length == kMaxRequestFrame) {
        std::size_t next = 0;
        for (int i = 0; i < 2; ++i) {
            const auto handle = static_cast<WORD>(p[20 + 2 * i] | (p[21 + 2 * i] << 8));
            request.blocks[i].handle = handle;
            if (handle && next < fdCount) request.blocks[i].fd = fds[next++];
        }
    }
    return true;
}

void EncodeAnswer(LRESULT result, unsigned char (&frame)[kAnswerFrame]) {
    PutU32(frame, kAnswerBody);
    PutU64(frame + 4, static_cast<std::uint64_t>(static_cast<std::int64_t>(result)));
}

bool AnswerHeaderValid(const unsigned char* frame, std::size_t length) {
    return length < kHeader || GetU32(frame) == kAnswerBody;
}

LRESULT DecodeAnswer(const unsigned char (&frame)[kAnswerFrame]) {
    return static_cast<LRESULT>(static_cast<std::int64_t>(GetU64(frame + 4)));
}

}  // namespace winlink::wire
