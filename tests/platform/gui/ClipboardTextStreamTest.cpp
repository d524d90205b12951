// Another program's text handed from the thread that fetches it to the one that reads it, as it
// arrives: in order and whole, its length told before the end, and an end of either side never
// leaves the other waiting.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/gui/x11/ClipboardTextStream.h"

TEST(ClipboardTextStream, TheReaderGetsEveryPieceInOrderWhileTheRestIsOnItsWay) {
    CClipboardTextStream stream;
    stream.Expect(9000);  // what the owner announced, in its own bytes (it sends less)
    EXPECT_EQ(stream.EstimatedLength(), 9000u);
    stream.Add("first\r\n", 10);  // 10 bytes of the owner's made 7
    EXPECT_EQ(stream.EstimatedLength(), 6300u);
    EXPECT_FALSE(stream.Ended());
    EXPECT_FALSE(stream.Taken());

    std::string all, piece;
    std::thread writer([&stream] {
        for (int i = 0; i < 1000; ++i) stream.Add(std::to_string(i) + ",", 2);
        stream.Add("", 0);
        stream.End(true);
    });
    while (stream.Read(piece)) all += piece;
    writer.join();
    std::string want = "first\r\n";
    for (int i = 0; i < 1000; ++i) want += std::to_string(i) + ",";
    EXPECT_EQ(all, want);
    EXPECT_TRUE(stream.Taken());
    EXPECT_TRUE(stream.Whole());
    EXPECT_TRUE(stream.Ended());
    EXPECT_EQ(stream.EstimatedLength(), want.size());  // exact once ended, whatever was announced
    EXPECT_EQ(stream.Held(), 0u);
    EXPECT_FALSE(stream.Read(piece));
    EXPECT_TRUE(piece.empty());

    // A text whole from the start reads in one go; a text cut short says so.
    CClipboardTextStream whole("ABC12345 Blue\r\n");
    EXPECT_EQ(whole.ReadAll(), "ABC12345 Blue\r\n");
    EXPECT_TRUE(whole.Whole());
    CClipboardTextStream cut;
    cut.Add("ABC", 3);
    cut.End(false);
    EXPECT_EQ(cut.ReadAll(), "ABC");
    EXPECT_FALSE(cut.Whole());

    // The owner's UTF-8 as it came: counted in its own bytes, given as it came by ReadRaw and
    // converted by Read, the line a piece leaves open with the next, the last at the end.
    const std::string blue = "ABC12345 青\nDEF";
    CClipboardTextStream raw(CClipboardTextStream::Form::kUtf8);
    raw.Add(blue, blue.size());
    raw.Add("67890 空", 9);
    raw.End(true);
    EXPECT_EQ(raw.EstimatedLength(), blue.size() + 9);
    std::string got;
    ASSERT_TRUE(raw.ReadRaw(got));
    EXPECT_EQ(got, blue);
    CClipboardTextStream utf8(CClipboardTextStream::Form::kUtf8);
    utf8.Add(blue, blue.size());
    utf8.Add("67890 空", 9);
    utf8.End(true);
    EXPECT_EQ(utf8.ReadAll(), "ABC12345 \x90\xC2\r\nDEF67890 \x8B\xF3");
}

TEST(ClipboardTextStream, CancellingLetsAWaitingReaderGoAndDropsWhatComesAfter) {
    CClipboardTextStream stream;
    stream.Add("kept back", 9);
    std::string piece;
    ASSERT_TRUE(stream.Read(piece));
    std::thread reader([&stream] {
        std::string more;
        EXPECT_FALSE(stream.Read(more));  // waits: nothing more has come
        EXPECT_TRUE(more.empty());
    });
    stream.Cancel();
    reader.join();
    stream.Add("late", 4);
    EXPECT_TRUE(stream.Cancelled());
    EXPECT_EQ(stream.Held(), 0u);
    EXPECT_FALSE(stream.Read(piece));
}
