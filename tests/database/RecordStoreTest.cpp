#include <gtest/gtest.h>

#include "database/VelkonDoc.h"
#include "platform/CWinApp.h"

TEST(RecordStore, AddFindDelete) {
    CWinApp app("Velkon95");
    CVelkonDoc doc;
    EXPECT_TRUE(doc.AddNewID("ABC12345", "Blue"));
    EXPECT_EQ(doc.FindID("ABC12345"), 0);
}
