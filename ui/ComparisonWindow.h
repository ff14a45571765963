#pragma once

#include "model/ConfigComparison.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The list of a comparison: one row per value that differs between the editor and the other side (the
    keyboard, a settings file, the last saved settings), grouped by control, with the editor's value and the
    other one in the panel's words. Each row is set to take the other side's value or to keep the editor's;
    Apply hands the rows to take over as one step. */
class ComparisonWindow : public juce::Component, private juce::TableListBoxModel
{
public:
    /** The colours of the comparison. */
    enum ColourIds
    {
        backgroundColourId = 0x7e00a01, ///< The window's background.
        textColourId = 0x7e00a02,       ///< The headings and the values that count.
        quietTextColourId = 0x7e00a03,  ///< The field names and the values set aside.
        takeColourId = 0x7e00a04,       ///< The other side's values that will be taken.
        unknownColourId = 0x7e00a05,    ///< A value that is not known.
        groupLineColourId = 0x7e00a06,  ///< The list's outline and the line over each control's rows.
        takenRowColourId = 0x7e00a07    ///< The background of a row to be taken.
    };

    enum Column
    {
        controlColumn = 1,
        fieldColumn,
        editorColumn,
        otherColumn,
        takeColumn
    };

    ComparisonWindow();
    ~ComparisonWindow() override;

    /** Shows a comparison; heading says what was compared (and what is not known), otherName heads the other
        side's column: a file's name as it is, the window's own words ("the keyboard") with a capital. Every
        row starts as "keep". Given the editor's configuration the comparison was made from, a number is
        shown with its meaning in its side's mode and channel ("36 - C1 · Bass Drum 1"). */
    void show(const ConfigComparison& comparison, const juce::String& otherName, const juce::String& heading,
              const SettingsState* editor = nullptr);
    const ConfigComparison& getComparison() const { return comparison; }
    juce::String getSummary() const { return summary.getText(); }

    void setTaken(int row, bool take);
    bool isTaken(int row) const;
    void setAllTaken(bool take);
    /** A row's value as the list shows it in the editorColumn or the otherColumn; empty for other columns. */
    juce::String valueShown(int row, int column) const;
    /** The rows set to take the other side's value, in list order. */
    std::vector<size_t> takenRows() const;

    /** Called by Apply with the rows to take (perhaps none); the window is done with then. */
    std::function<void(const std::vector<size_t>&)> onApply;
    /** Called by Close: nothing is taken. */
    std::function<void()> onClose;

    juce::Button& takeAllButton() { return takeAll; }
    juce::Button& keepAllButton() { return keepAll; }
    juce::Button& applyButton() { return apply; }
    juce::Button& closeButton() { return close; }
    juce::TableListBox& table() { return list; }

    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    int getNumRows() override;
    void paintRowBackground(juce::Graphics& g, int row, int width, int height, bool selected) override;
    void paintCell(juce::Graphics& g, int row, int column, int width, int height, bool selected) override;
    void cellClicked(int row, int column, const juce::MouseEvent& e) override;
    juce::String getCellTooltip(int row, int column) override;
    void updateApplyText();
    bool startsGroup(int row) const;
    int sideValue(int field, int id, bool theirs, const SettingsState* editor) const;
    juce::String withMeaning(const ConfigComparison::Row& r, bool theirs, const SettingsState* editor) const;

    ConfigComparison comparison;
    std::vector<bool> taken;
    std::vector<juce::String> mineShown, theirsShown; // the two values of each row as the list shows them
    juce::Label heading, summary;
    juce::TableListBox list;
    juce::TextButton takeAll{"Take All"}, keepAll{"Keep All"}, apply{"Apply"}, close{"Close"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ComparisonWindow)
};

/** The comparison in a window of its own beside the editor's, closed by its close box as by Close. */
class ComparisonDocumentWindow : public juce::DocumentWindow
{
public:
    explicit ComparisonDocumentWindow(ComparisonWindow& content);
    void closeButtonPressed() override;

private:
    ComparisonWindow& content;
};
