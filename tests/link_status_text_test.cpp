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
    f.sendProgress = {VerifiedSend::Phase::retrying, 1, 4, 2, 5};
    EXPECT_EQ(describeLink(f).detail, "Sending again, try 2 of 5");
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

TEST(LinkStatusText, NotFoundSaysWhenAndWhyAndANoteThatOffersAClickTakesIt)
{
    LinkFacts f;
    f.searchedAt = juce::Time(2026, 11, 8, 14, 5);
    EXPECT_EQ(describeLink(f).detail, "Not found at 14:05");
    f.serviceProblem = "The system has no MIDI service.";
    const auto noService = describeLink(f);
    EXPECT_EQ(noService.headline, "No MIDI service");
    EXPECT_TRUE(noService.tooltip.startsWith(f.serviceProblem)) << noService.tooltip;

    // Connected, a note takes a click only when it offers one; the settings file is named in the tooltip.
    f = {};
    f.found = true;
    f.note = "Saved live.qmv49 at 14:05";
    EXPECT_FALSE(describeLink(f).clickable);
    f.noteClickable = true;
    EXPECT_TRUE(describeLink(f).clickable);
    f.sending = true;
    EXPECT_FALSE(describeLink(f).clickable) << "the note is not shown while a send runs";
    f.sending = false;
    f.fileName = "live.qmv49";
    EXPECT_TRUE(describeLink(f).tooltip.contains("live.qmv49"));
}

TEST(LinkStatusText, TheComparisonsReadIsShownAndCountsOnlyWhenNothingWasSentSince)
{
    LinkFacts f;
    f.found = true;
    f.port = "Quillet 49";
    f.readStepsInAll = 12;
    f.comparisons = true;
    f.keyboardKnown = true;
    EXPECT_TRUE(describeLink(f).tooltip.contains("unknown")) << "never read since it was plugged in";

    f.readAt = juce::Time(2026, 11, 8, 9, 0);
    f.freshReadAt = juce::Time(2026, 11, 8, 9, 30);
    EXPECT_EQ(describeLink(f).detail, "Read from the keyboard at 09:30");
    EXPECT_TRUE(describeLink(f).tooltip.contains("In sync")) << describeLink(f).tooltip;
    f.lastSend = VerifiedSend::Result{};
    EXPECT_NE(describeLink(f).detail, "Read from the keyboard at 09:30") << "a send since is the last word";

    f.freshReading = true;
    f.freshReadSteps = 7;
    EXPECT_EQ(describeLink(f).headline, "Reading 7 of 12");
    f.sending = true;
    EXPECT_NE(describeLink(f).headline, "Reading 7 of 12") << "the send's progress comes first";
}
