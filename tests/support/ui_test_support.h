#pragma once

#include "device/MessageLoop.h"
#include "scratch_folder.h"
#include "ui/EditorDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

/** Picks a list entry as the user does: the box tells its listeners at once. */
inline void pick(juce::ComboBox& combo, int index)
{
    combo.setSelectedItemIndex(index, juce::sendNotificationSync);
}

/** Lets everything already queued on the message thread run, and what that queues in turn: a marker posted
    behind the queue is reached only once all earlier messages are handled. */
inline void drainMessages(int rounds = 3)
{
    for (int i = 0; i < rounds; ++i)
    {
        auto reached = std::make_shared<bool>(false);
        juce::MessageManager::callAsync([reached] { *reached = true; });
        EXPECT_TRUE(pumpUntil([reached] { return *reached; }));
    }
}

/** Answers the editor's dialogs from queues (an unexpected dialog fails the test and cancels) and records
    every message box. */
class ScriptedDialogs : public EditorDialogs
{
public:
    struct Shown
    {
        juce::String title, text;
    };
    std::deque<std::optional<juce::File>> filesToOpen, filesToSave;
    bool overwriteAnswer = true;
    std::optional<bool> readOnlyAnswer; // unset: the question is not expected
    int readOnlyQuestions = 0;
    std::vector<Shown> shown;
    /** Where each file dialog started: the folder of an open dialog, the proposed file of a save dialog. */
    std::vector<juce::File> startedAt;

    void chooseFileToOpen(const juce::String&, const juce::File& startFolder, const juce::String&,
                          FileAnswer answer) override
    {
        startedAt.push_back(startFolder);
        answer(next(filesToOpen));
    }
    bool holdFileToSave =
        false; // the save dialog's answer kept in heldFileToSave, for the test to give later
    FileAnswer heldFileToSave;
    void chooseFileToSave(const juce::String&, const juce::File& proposedFile, const juce::String&,
                          FileAnswer answer) override
    {
        startedAt.push_back(proposedFile);
        if (holdFileToSave)
            return void(heldFileToSave = std::move(answer));
        answer(next(filesToSave));
    }
    void confirmOverwrite(const juce::File&, YesNoAnswer answer) override { answer(overwriteAnswer); }
    void confirmReplaceReadOnly(const juce::File&, YesNoAnswer answer) override
    {
        ++readOnlyQuestions;
        EXPECT_TRUE(readOnlyAnswer.has_value()) << "a read-only question came that the test did not expect";
        answer(readOnlyAnswer.value_or(false));
    }
    std::deque<bool> yesNoAnswers; // one per question expected, in order
    juce::StringArray questionTitles, questions;
    void askYesNo(const juce::String& title, const juce::String& question, const juce::String&,
                  const juce::String&, YesNoAnswer answer) override
    {
        questionTitles.add(title);
        questions.add(question);
        EXPECT_FALSE(yesNoAnswers.empty()) << "a question came that the test did not expect: " << question;
        const bool yes = !yesNoAnswers.empty() && yesNoAnswers.front();
        if (!yesNoAnswers.empty())
            yesNoAnswers.pop_front();
        answer(yes);
    }
    void showMessage(const juce::String& title, const juce::String& text) override
    {
        shown.push_back({title, text});
    }
    std::optional<CloseChoice> closeAnswer; // unset: the question is not expected
    bool holdCloseAnswer = false;           // kept in heldCloseAnswer, for the test to give later
    std::function<void(CloseChoice)> heldCloseAnswer;
    juce::StringArray closeQuestions;
    juce::StringArray closeTitles;
    std::vector<bool> sendOffered;
    void askBeforeClosing(const juce::String& title, const juce::String& what, bool offerSend,
                          std::function<void(CloseChoice)> answer) override
    {
        closeTitles.add(title);
        sendOffered.push_back(offerSend);
        closeQuestions.add(what);
        if (holdCloseAnswer)
            return void(heldCloseAnswer = std::move(answer));
        EXPECT_TRUE(closeAnswer.has_value())
            << "a close question came that the test did not expect: " << what;
        answer(closeAnswer.value_or(CloseChoice::cancel));
    }

    int countTitled(const juce::String& title) const
    {
        return (int)std::count_if(shown.begin(), shown.end(),
                                  [&](const Shown& s) { return s.title == title; });
    }

private:
    static std::optional<juce::File> next(std::deque<std::optional<juce::File>>& queue)
    {
        EXPECT_FALSE(queue.empty()) << "a file dialog opened that the test did not expect";
        if (queue.empty())
            return std::nullopt;
        auto f = queue.front();
        queue.pop_front();
        return f;
    }
};
