#include "DawMapsView.h"

#include "ColourRoles.h"
#include "model/SentMessage.h"

namespace
{
enum Column
{
    controlColumn = 1,
    sendsColumn,
    roleColumn
};

const std::pair<DawMaps::Daw, const char*> dawChoices[] = {{DawMaps::Daw::ardour, "Ardour"},
                                                           {DawMaps::Daw::ableton, "Ableton Live"},
                                                           {DawMaps::Daw::realearn, "REAPER (ReaLearn)"}};

/** "CC 74 on 1", "Note 36 on 10", "NRPN 5 on 1-16", "MMC 2", "nothing". */
juce::String sendsText(const SentMessage& m)
{
    using Kind = SentMessage::Kind;
    const char* kind = m.kind == Kind::controller ? "CC"
                       : m.kind == Kind::rpn      ? "RPN"
                       : m.kind == Kind::nrpn     ? "NRPN"
                       : m.kind == Kind::note     ? "Note"
                       : m.kind == Kind::program  ? "Program"
                       : m.kind == Kind::mmc      ? "MMC"
                                                  : nullptr;
    if (kind == nullptr)
        return "nothing";
    juce::String text = juce::String(kind) + " " + juce::String(m.number);
    if (m.kind == Kind::mmc || m.channels.empty())
        return text;
    const int low = m.channels.front() + 1, high = m.channels.back() + 1;
    return text + " on " +
           (m.channels.size() == 1 ? juce::String(low) : juce::String(low) + "-" + juce::String(high));
}
} // namespace

DawMapsView::DawMapsView(const KbdSettingsStore& configuration, ControlRoles roles)
    : store(configuration), current(std::move(roles)), ids(ControlCatalogue::pictureControls())
{
    for (const auto& [daw, name] : dawChoices)
        dawBox.addItem(name, (int)daw + 1);
    dawBox.setSelectedId(1, juce::dontSendNotification);
    dawBox.onChange = [this]
    {
        refresh();
    };
    roleBox.setTextWhenNothingSelected("Choose a role...");
    const auto& actions = ControlRole::allActions();
    for (size_t i = 0; i < actions.size(); ++i)
        roleBox.addItem(ControlRole::actionName(actions[i]), (int)i + 1);
    roleBox.onChange = [this]
    {
        const int chosen = roleBox.getSelectedId();
        if (chosen <= 0)
            return;
        assignToSelected(ControlRole::allActions()[(size_t)chosen - 1], (int)first.getValue());
        roleBox.setSelectedId(0, juce::dontSendNotification);
    };
    first.setRange(1, ControlRole::maxIndex, 1);
    first.setValue(1, juce::dontSendNotification);
    first.setTextBoxStyle(juce::Slider::TextBoxLeft, false, 44, 22);
    exportButton.onClick = [this]
    {
        if (onExport)
            onExport(daw());
    };
    installButton.onClick = [this]
    {
        if (onInstall)
            onInstall(daw());
    };
    defaultsButton.onClick = [this]
    {
        resetToDefaults();
    };
    for (auto* b : {&exportButton, &installButton, &defaultsButton})
        EditorColours::usePanelButtonColours(*b);

    auto& header = table.getHeader();
    header.addColumn("Control", controlColumn, 170, 80, 400, juce::TableHeaderComponent::notSortable);
    header.addColumn("Sends", sendsColumn, 150, 80, 400, juce::TableHeaderComponent::notSortable);
    header.addColumn("Role in the DAW", roleColumn, 200, 80, 400, juce::TableHeaderComponent::notSortable);
    table.setMultipleSelectionEnabled(true);
    table.setRowHeight(20);
    note.setJustificationType(juce::Justification::topLeft);
    for (auto* l : {&dawLabel, &roleLabel, &fromLabel, &note})
        l->setColour(juce::Label::textColourId, juce::Colours::black);
    for (auto* c : std::initializer_list<juce::Component*>{&dawLabel, &dawBox, &exportButton, &installButton,
                                                           &defaultsButton, &table, &roleLabel, &roleBox,
                                                           &fromLabel, &first, &note})
        addAndMakeVisible(c);
    setSize(600, 560);
    refresh();
    startTimerHz(4);
}

juce::String DawMapsView::titleOf(DawMaps::Daw chosen)
{
    for (const auto& [daw, name] : dawChoices)
        if (daw == chosen)
            return name;
    return {};
}

DawMaps::Daw DawMapsView::daw() const
{
    return (DawMaps::Daw)juce::jmax(0, dawBox.getSelectedId() - 1);
}

void DawMapsView::setDaw(DawMaps::Daw chosen)
{
    dawBox.setSelectedId((int)chosen + 1, juce::sendNotificationSync);
}

void DawMapsView::select(const std::vector<int>& chosen)
{
    juce::SparseSet<int> rowsChosen;
    for (size_t row = 0; row < ids.size(); ++row)
        if (std::find(chosen.begin(), chosen.end(), ids[row]) != chosen.end())
            rowsChosen.addRange({(int)row, (int)row + 1});
    table.setSelectedRows(rowsChosen, juce::dontSendNotification);
}

void DawMapsView::assignToSelected(ControlRole::Action action, int firstNumber)
{
    std::vector<int> chosen;
    const auto selected = table.getSelectedRows();
    for (int i = 0; i < selected.size(); ++i)
        if (selected[i] >= 0 && selected[i] < (int)ids.size())
            chosen.push_back(ids[(size_t)selected[i]]);
    if (chosen.empty())
        return setNote("Select the controls to give a role first.");
    current.assign(chosen, action, firstNumber);
    changed();
}

void DawMapsView::resetToDefaults()
{
    current = ControlRoles::defaults();
    changed();
}

void DawMapsView::changed()
{
    if (onRolesChanged)
        onRolesChanged(current);
    refresh();
}

void DawMapsView::refresh()
{
    shownChanges = store.changeCount();
    const auto state = store.snapshot();
    sends.clear();
    for (int id : ids)
        sends.push_back(sendsText(SentMessage::of(state, id)));
    const DawMaps maps(state, current, setupName ? setupName() : juce::String());
    const auto left = maps.warnings(daw());
    setNote(left.isEmpty() ? juce::String(maps.bindings().size()) + " controls with a role go into the map."
                           : juce::String(left.size()) + (left.size() == 1 ? " control" : " controls") +
                                 " left out of the map: " + left.joinIntoString("; "));
    table.updateContent();
    table.repaint();
}

void DawMapsView::setNote(const juce::String& text)
{
    note.setText(text, juce::dontSendNotification);
}

juce::String DawMapsView::cellText(int row, int column) const
{
    if (row < 0 || row >= (int)ids.size())
        return {};
    const int id = ids[(size_t)row];
    switch (column)
    {
    case controlColumn:
        return ControlCatalogue::displayName(id);
    case sendsColumn:
        return sends[(size_t)row];
    case roleColumn:
        return current.of(id).name();
    default:
        return {};
    }
}

void DawMapsView::paintRowBackground(juce::Graphics& g, int row, int, int, bool selected)
{
    g.fillAll(selected       ? juce::Colour(0xff9cc3e6)
              : row % 2 == 0 ? juce::Colours::white
                             : juce::Colour(0xfff2f2f2));
}

void DawMapsView::paintCell(juce::Graphics& g, int row, int column, int width, int height, bool)
{
    g.setColour(juce::Colours::black);
    g.setFont(14.0f);
    g.drawText(cellText(row, column), 6, 0, width - 10, height, juce::Justification::centredLeft, true);
}

void DawMapsView::resized()
{
    auto area = getLocalBounds().reduced(8);
    auto top = area.removeFromTop(28);
    dawLabel.setBounds(top.removeFromLeft(44));
    dawBox.setBounds(top.removeFromLeft(180).reduced(0, 2));
    top.removeFromLeft(10);
    for (auto* b : {&exportButton, &installButton})
        b->setBounds(top.removeFromLeft(90).reduced(2));
    defaultsButton.setBounds(top.removeFromRight(120).reduced(2));
    area.removeFromTop(6);
    note.setBounds(area.removeFromBottom(48));
    auto roleRow = area.removeFromBottom(30);
    roleLabel.setBounds(roleRow.removeFromLeft(200));
    roleBox.setBounds(roleRow.removeFromLeft(170).reduced(0, 3));
    roleRow.removeFromLeft(6);
    fromLabel.setBounds(roleRow.removeFromLeft(100));
    first.setBounds(roleRow.removeFromLeft(110).reduced(0, 3));
    area.removeFromBottom(4);
    table.setBounds(area);
}

void DawMapsView::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xffe8e8e8));
}

//==============================================================================
DawMapsWindow::DawMapsWindow(const KbdSettingsStore& configuration, ControlRoles roles)
    : juce::DocumentWindow("DAW Control Maps", juce::Colour(0xffe8e8e8), juce::DocumentWindow::closeButton)
{
    content = new DawMapsView(configuration, std::move(roles));
    setUsingNativeTitleBar(true);
    setContentOwned(content, true);
    setResizable(true, false);
    centreWithSize(getWidth(), getHeight());
}

void DawMapsWindow::closeButtonPressed()
{
    if (onClose)
        onClose();
}
