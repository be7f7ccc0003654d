// kestrod's log lines: plain on a terminal or a file, with the syslog priority prefix only
// when standard error is the journal's stream that $JOURNAL_STREAM names.
#include "kestro/server/server_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

namespace {

using kestro::server::FormatLogLine;
using kestro::server::IsJournalStream;
using kestro::server::LogPriority;

TEST(ServerLog, LinesKeepTheirTextAndGainAPriorityOnlyForTheJournal) {
    struct Case {
        LogPriority priority;
        bool journal;
        const char* expected;
    };
    const Case cases[] = {
        {LogPriority::kInfo, false, "kestrod: connection 1 from 127.0.0.1:4000\n"},
        {LogPriority::kError, false, "kestrod: connection 1 from 127.0.0.1:4000\n"},
        {LogPriority::kInfo, true, "<6>kestrod: connection 1 from 127.0.0.1:4000\n"},
        {LogPriority::kWarning, true, "<4>kestrod: connection 1 from 127.0.0.1:4000\n"},
        {LogPriority::kError, true, "<3>kestrod: connection 1 from 127.0.0.1:4000\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatLogLine("connection 1 from 127.0.0.1:4000", c.priority, c.journal),
                  c.expected);
    }
}

TEST(ServerLog, TheJournalStreamIsRecognisedByDeviceAndInode) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::FILE* other = std::tmpfile();
    ASSERT_NE(other, nullptr);
    struct stat status {};
    ASSERT_EQ(fstat(fileno(file), &status), 0);
    const std::string stream = std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);

    EXPECT_TRUE(IsJournalStream(stream.c_str(), fileno(file)));
    // A stream inherited by a program the service started, or no variable at all: no prefix.
    EXPECT_FALSE(IsJournalStream(stream.c_str(), fileno(other)));
    EXPECT_FALSE(IsJournalStream(nullptr, fileno(file)));
    EXPECT_FALSE(IsJournalStream("", fileno(file)));
    EXPECT_FALSE(IsJournalStream((stream + "0").c_str(), fileno(file)));
    EXPECT_FALSE(IsJournalStream(stream.c_str(), -1));
    std::fclose(other);
    std::fclose(file);
}

}  // namespace
