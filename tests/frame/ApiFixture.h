// The program's frame with a client of its API in the same process: requests reach the frame
// the way a client's do, blocks and mappings included.
#pragma once

#include <algorithm>
#include <cstring>

#include "platform/ipc/Kernel.h"
#include "platform/ipc/WinClass.h"
#include "platform/ipc/Wow32.h"
#include "tests/frame/FrameFixture.h"
#include "tools/velkonctl/VelkonClient.h"

class ApiTest : public FrameTest {
protected:
    // The class registered, as the application does, so that other processes find the frame.
    void SetUp() override {
        WNDCLASSEX wc;
        wc.lpszClassName = VELKON_FRAME_CLASS;
        ::RegisterClassEx(&wc);
        FrameTest::SetUp();
        ASSERT_TRUE(client.Connect());
    }
    // A record with every field set, as a load would leave it.
    int AddRecord(const char* id, const char* handle, int count, CTime regist, CTime update) {
        EXPECT_TRUE(doc->AddNewID(id, testing_support::Sjis(handle)));
        const int r = doc->FindID(id);
        doc->m_anUpdateCount[r] = count;
        doc->m_atimeRegist[r] = regist;
        doc->m_atimeUpdate[r] = update;
        doc->m_atimePrevUpdate[r] = update;
        return r;
    }
    // Sends msg with blocks made by the caller (0: none).
    LRESULT Send16(UINT msg, HGLOBAL16 w, HGLOBAL16 l) {
        LRESULT result = 0;
        EXPECT_TRUE(::SendMessage16(frame->GetSafeHwnd(), msg, w, l, &result));
        return result;
    }
    // A block of `size` bytes holding `bytes` (no zero byte added).
    HGLOBAL16 Block(const std::string& bytes, std::size_t size) {
        const HGLOBAL16 h = ::GlobalAlloc16(GMEM_MOVEABLE, static_cast<DWORD>(size));
        if (size) {
            auto* p = static_cast<char*>(::GlobalLock16(h));
            std::memcpy(p, bytes.data(), std::min(size, bytes.size()));
            ::GlobalUnlock16(h);
        }
        blocks.push_back(h);
        return h;
    }
    std::string BlockBytes(HGLOBAL16 h) {
        const auto* p = static_cast<const char*>(::GlobalLock16(h));
        std::string bytes(p, ::GlobalSize16(h));
        ::GlobalUnlock16(h);
        return bytes;
    }
    // Sends WM_IDAPI32 with a mapping of exactly these bytes, which come back changed.
    LRESULT Send32(WPARAM code, std::vector<char>& bytes) {
        return client.Call32(code, bytes).value;
    }
    void TearDown() override {
        for (HGLOBAL16 h : blocks) ::GlobalFree16(h);
        FrameTest::TearDown();
        ::UnregisterClass(VELKON_FRAME_CLASS, nullptr);
    }

    velkon_client::CVelkonClient client;
    std::vector<HGLOBAL16> blocks;
};
