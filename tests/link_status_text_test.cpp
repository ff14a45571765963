// The status display's wording, from the link's facts alone.
#include "ui/LinkStatusText.h"

#include <gtest/gtest.h>

TEST(LinkStatusText, WorkUnderWayIsShownBeforeAnythingElseWithItsProgress)
{
    LinkFacts f;
    f.found = true;
    f.unsent = 3;
    f.reading = true;
    f.readSteps = 5;
    f.readStepsInAll = 12;
    EXPECT_EQ(describeLink(f).headline, "Reading 5 of 12");

    f.sending = true;
    f.sendProgress = {VerifiedSend::Phase::sending, 83, 332, 0};
    EXPECT_EQ(describeLink(f).headline, "Sending 25%");
    f.sendProgress = {VerifiedSend::Phase::retrying, 1, 4, 2};
    EXPECT_EQ(describeLink(f).detail, "Sending again, try 2 of 3");
    EXPECT_FALSE(describeLink(f).clickable);
}

TEST(LinkStatusText, ConnectedItCountsTheChangesNotSentAndANoteTakesTheDetailLine)
{
    LinkFacts f;
    f.found = true;
    f.port = "Quillet 49";
    EXPECT_EQ(describeLink(f).headline, "Connected");
    f.unsent = 1;
    const auto one = describeLink(f);
    EXPECT_EQ(one.headline, "1 change not sent");
    EXPECT_TRUE(one.tooltip.contains("1 change in the editor")) << one.tooltip;
    f.unsent = 2;
    EXPECT_EQ(describeLink(f).headline, "2 changes not sent");

    f.unsent = 0;
    VerifiedSend::Result refused;
    refused.outcome = VerifiedSend::Outcome::differences;
    refused.differences = {{itemFieldMode, 0x70, 1, 2}};
    f.lastSend = refused;
    EXPECT_EQ(describeLink(f).headline, "1 value differs");
    f.note = "Defaults set: Ctrl+Z takes them back";
    EXPECT_EQ(describeLink(f).detail, f.note);
    EXPECT_EQ(describeLink(f).headline, "1 value differs");

    f.found = false;
    f.unplugged = true;
    EXPECT_EQ(describeLink(f).headline, "Unplugged");
    EXPECT_TRUE(describeLink(f).clickable);
}
