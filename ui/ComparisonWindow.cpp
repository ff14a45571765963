#include "ComparisonWindow.h"

#include "ColourRoles.h"
#include "model/ValueMeaning.h"

namespace
{
// The window's own words for the other side are lower-case words; anything else (a file's name) is a name.
juce::String columnHeading(const juce::String& otherName)
{
    const bool ownWords = otherName.containsOnly("abcdefghijklmnopqrstuvwxyz ");
    return ownWords ? otherName.substring(0, 1).toUpperCase() + otherName.substring(1) : otherName;
}
} // namespace

ComparisonWindow::ComparisonWindow()
{
    heading.setFont(juce::Font(15.0f, juce::Font::bold));
    heading.setColour(juce::Label::textColourId, findColour(textColourId));
    summary.setFont(juce::Font(13.0f));
    summary.setColour(juce::Label::textColourId, findColour(textColourId));
    addAndMakeVisible(heading);
    addAndMakeVisible(summary);

    list.setModel(this);
    auto& header = list.getHeader();
    const auto columnFlags = juce::TableHeaderComponent::visible;
    header.addColumn("Control", controlColumn, 210, 60, -1, columnFlags);
    header.addColumn("Field", fieldColumn, 110, 60, -1, columnFlags);
    header.addColumn("Editor", editorColumn, 130, 60, -1, columnFlags);
    header.addColumn("Other", otherColumn, 130, 60, -1, columnFlags);
    header.addColumn("Take", takeColumn, 70, 60, -1, columnFlags);
    list.setRowHeight(22);
    list.setColour(juce::ListBox::outlineColourId, findColour(groupLineColourId));
    list.setOutlineThickness(1);
    addAndMakeVisible(list);

    for (auto* b : {&takeAll, &keepAll, &apply, &close})
    {
        EditorColours::usePanelButtonColours(*b);
        addAndMakeVisible(b);
    }
    takeAll.setTooltip("Set every row to take the other side's value");
    keepAll.setTooltip("Set every row to keep the editor's value");
    takeAll.onClick = [this]
    {
        setAllTaken(true);
    };
    keepAll.onClick = [this]
    {
        setAllTaken(false);
    };
    apply.onClick = [this]
    {
        if (onApply)
            onApply(takenRows());
    };
    close.onClick = [this]
    {
        if (onClose)
            onClose();
    };
    apply.setEnabled(false); // nothing to take until a row is set to Take
    setSize(680, 430);
}

ComparisonWindow::~ComparisonWindow()
{
    list.setModel(nullptr);
}

void ComparisonWindow::show(const ConfigComparison& c, const juce::String& otherName,
                            const juce::String& text, const SettingsState* editor)
{
    comparison = c;
    taken.assign(comparison.rows().size(), false);
    mineShown.clear();
    theirsShown.clear();
    for (const auto& r : comparison.rows())
    {
        mineShown.push_back(withMeaning(r, false, editor));
        theirsShown.push_back(withMeaning(r, true, editor));
    }
    heading.setText(text, juce::dontSendNotification);
    summary.setText(comparison.identical()
                        ? "No differences: the editor and " + otherName + " hold the same values."
                        : comparison.summary(),
                    juce::dontSendNotification);
    list.getHeader().setColumnName(otherColumn, columnHeading(otherName));
    list.updateContent();
    list.repaint();
    const bool any = !comparison.identical();
    takeAll.setEnabled(any);
    keepAll.setEnabled(any);
    updateApplyText();
}

void ComparisonWindow::setTaken(int row, bool take)
{
    if (row < 0 || row >= (int)taken.size())
        return;
    // A value the other side does not hold cannot be taken.
    taken[(size_t)row] = take && comparison.rows()[(size_t)row].theirs >= 0;
    list.repaintRow(row);
    updateApplyText();
}

bool ComparisonWindow::isTaken(int row) const
{
    return row >= 0 && row < (int)taken.size() && taken[(size_t)row];
}

void ComparisonWindow::setAllTaken(bool take)
{
    for (int i = 0; i < (int)taken.size(); ++i)
        setTaken(i, take);
}

juce::String ComparisonWindow::valueShown(int row, int column) const
{
    if (row < 0 || row >= (int)mineShown.size())
        return {};
    return column == editorColumn  ? mineShown[(size_t)row]
           : column == otherColumn ? theirsShown[(size_t)row]
                                   : juce::String();
}

std::vector<size_t> ComparisonWindow::takenRows() const
{
    std::vector<size_t> rows;
    for (size_t i = 0; i < taken.size(); ++i)
        if (taken[i])
            rows.push_back(i);
    return rows;
}

void ComparisonWindow::updateApplyText()
{
    const auto n = takenRows().size();
    apply.setButtonText(n == 0 ? juce::String("Apply")
                               : "Take " + juce::String((int)n) + (n == 1 ? " Value" : " Values"));
    apply.setEnabled(n > 0);
}

//==============================================================================
void ComparisonWindow::paint(juce::Graphics& g)
{
    g.fillAll(findColour(backgroundColourId));
}

void ComparisonWindow::resized()
{
    auto area = getLocalBounds().reduced(12);
    heading.setBounds(area.removeFromTop(24));
    summary.setBounds(area.removeFromTop(22));
    area.removeFromTop(6);
    auto buttons = area.removeFromBottom(28);
    area.removeFromBottom(10);
    list.setBounds(area);
    takeAll.setBounds(buttons.removeFromLeft(90));
    buttons.removeFromLeft(8);
    keepAll.setBounds(buttons.removeFromLeft(90));
    close.setBounds(buttons.removeFromRight(90));
    buttons.removeFromRight(8);
    apply.setBounds(buttons.removeFromRight(130));
}

int ComparisonWindow::sideValue(int field, int id, bool theirs, const SettingsState* editor) const
{
    // A field listed differs, and its row holds both sides' values; one not listed is the editor's on both.
    for (const auto& r : comparison.rows())
        if (r.field == field && r.id == id)
            return theirs ? r.theirs : r.mine;
    return editor != nullptr ? editor->get(field, id) : -1;
}

juce::String ComparisonWindow::withMeaning(const ConfigComparison::Row& r, bool theirs,
                                           const SettingsState* editor) const
{
    const int value = theirs ? r.theirs : r.mine;
    const auto& text = theirs ? r.theirsText : r.mineText;
    if (r.field != itemFieldNumber || value < 0)
        return text;
    // The number means what its own side's mode and channel make of it.
    const int mode = sideValue(itemFieldMode, r.id, theirs, editor);
    const int channel = sideValue(itemFieldChannel, r.id, theirs, editor);
    if (mode < 0 || channel < 0)
        return text;
    return juce::String::fromUTF8(ValueMeaning::numberWithMeaning(mode, channel, value).c_str());
}

bool ComparisonWindow::startsGroup(int row) const
{
    // A control's rows make a group, headed by its name; the keyboard-wide values make one group.
    const auto& rows = comparison.rows();
    const auto group = [&rows](int i)
    {
        return rows[(size_t)i].field == ConfigComparison::globalField ? -1 : rows[(size_t)i].id;
    };
    return row >= 0 && row < (int)rows.size() && (row == 0 || group(row - 1) != group(row));
}

int ComparisonWindow::getNumRows()
{
    return (int)comparison.rows().size();
}

void ComparisonWindow::paintRowBackground(juce::Graphics& g, int row, int width, int, bool)
{
    g.fillAll(isTaken(row) ? findColour(takenRowColourId) : juce::Colours::white);
    // A line above the first row of each control groups its rows.
    if (row > 0 && startsGroup(row))
    {
        g.setColour(findColour(groupLineColourId));
        g.fillRect(0, 0, width, 1);
    }
}

void ComparisonWindow::paintCell(juce::Graphics& g, int row, int column, int width, int height, bool)
{
    if (row < 0 || row >= (int)comparison.rows().size())
        return;
    const auto& r = comparison.rows()[(size_t)row];
    const bool firstOfGroup = startsGroup(row);
    juce::String text;
    const auto textColour = findColour(textColourId), quietColour = findColour(quietTextColourId),
               takeColour = findColour(takeColourId), unknownColour = findColour(unknownColourId);
    auto colour = textColour;
    auto font = juce::Font(13.0f);
    switch (column)
    {
    case controlColumn:
        text = firstOfGroup ? r.control : juce::String();
        font = juce::Font(13.0f, juce::Font::bold);
        break;
    case fieldColumn:
        text = r.fieldLabel;
        colour = quietColour;
        break;
    case editorColumn:
        text = valueShown(row, column);
        colour = r.mine < 0 ? unknownColour : isTaken(row) ? quietColour : textColour;
        break;
    case otherColumn:
        text = valueShown(row, column);
        colour = r.theirs < 0 ? unknownColour : isTaken(row) ? takeColour : textColour;
        break;
    case takeColumn:
        text = r.theirs < 0 ? juce::String() : isTaken(row) ? "Take" : "Keep";
        colour = isTaken(row) ? takeColour : quietColour;
        font = juce::Font(13.0f, isTaken(row) ? juce::Font::bold : juce::Font::plain);
        break;
    default:
        break;
    }
    g.setColour(colour);
    g.setFont(font);
    g.drawFittedText(text, 6, 0, width - 10, height, juce::Justification::centredLeft, 1, 0.8f);
}

void ComparisonWindow::cellClicked(int row, int column, const juce::MouseEvent&)
{
    // A click on the Take column, or on the other side's value, switches the row between take and keep.
    if (column == takeColumn || column == otherColumn)
        setTaken(row, !isTaken(row));
}

juce::String ComparisonWindow::getCellTooltip(int row, int)
{
    if (row < 0 || row >= (int)comparison.rows().size())
        return {};
    return comparison.rows()[(size_t)row].describe() + ". Click Take to switch between taking and keeping.";
}

//==============================================================================
ComparisonDocumentWindow::ComparisonDocumentWindow(ComparisonWindow& c)
    : juce::DocumentWindow("Compare", c.findColour(ComparisonWindow::backgroundColourId),
                           juce::DocumentWindow::closeButton),
      content(c)
{
    setUsingNativeTitleBar(true);
    setContentNonOwned(&content, true);
    setResizable(true, false);
    centreWithSize(getWidth(), getHeight());
}

void ComparisonDocumentWindow::closeButtonPressed()
{
    if (content.onClose)
        content.onClose();
}
