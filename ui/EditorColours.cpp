#include "EditorColours.h"

#include "ComparisonWindow.h"
#include "KbdSettingComponent49.h"
#include "LibraryRow.h"
#include "LibraryWindow.h"
#include "LinkStatusDisplay.h"
#include "MoxCtrlPickerButton.h"
#include "PanelWidgets.h"
#include "PickerBand.h"
#include "PickerMarks.h"
#include "SetupThumbnail.h"
#include "TagChipRow.h"

void setEditorColours(juce::LookAndFeel& lf)
{
    const std::pair<int, juce::uint32> colours[] = {
        {EditorColours::notSentColourId, 0xFFE8A33D},
        {EditorColours::selectedControlColourId, 0x60FF8080},
        {EditorColours::panelButtonColourId, 0xFF808080},
        {EditorColours::panelButtonOnColourId, 0xFF535A5E},
        {EditorColours::panelButtonTextColourId, 0xFFF0F0F0},

        {KbdSettingComponent49::backgroundTopColourId, 0xFFFCFCFC},
        {KbdSettingComponent49::backgroundBottomColourId, 0xFFDBDBDB},
        {PanelWidgets::cornerOutlineColourId, 0xFF9A5F12},

        {PickerMarks::comparedColourId, 0xFF3C8CD8},
        {PickerMarks::touchedColourId, 0xC0FFD060},
        {PickerBand::fillColourId, 0x302F8FFF},
        {PickerBand::outlineColourId, 0xC02F8FFF},
        {MoxCtrlPickerButton::cornerFillColourId, 0x40FFFFFF},
        {MoxCtrlPickerButton::cornerLineColourId, 0xE0000000},
        {MoxCtrlPickerButton::downColourId, 0x40FFFFFF},
        {MoxCtrlPickerButton::overColourId, 0x20FFFFFF},
        {MoxCtrlPickerButton::selectedTouchedColourId, 0x40FF8080},
        {MoxCtrlPickerButton::inSelectionEdgeColourId, 0xFFB03030},

        {LinkStatusDisplay::glassTopColourId, 0xFF0F3A3A},
        {LinkStatusDisplay::glassBottomColourId, 0xFF061C1E},
        {LinkStatusDisplay::detailColourId, 0xFF7FE6DC},
        {LinkStatusDisplay::ruleColourId, 0x597FE6DC},
        {LinkStatusDisplay::headlineColourId, 0xFFAEF5EE},

        {LibraryWindow::backgroundColourId, 0xFFF4F4F4},
        {LibraryWindow::quietTextColourId, 0xFF707070},
        {LibraryWindow::dropColourId, 0xFF1F6FB2},
        {LibraryWindow::listOutlineColourId, 0xFFD0D0D0},
        {LibraryRow::textColourId, 0xFF202020},
        {LibraryRow::quietTextColourId, 0xFF707070},
        {LibraryRow::problemColourId, 0xFFB06000},
        {LibraryRow::selectedRowColourId, 0xFFE3EEF8},
        {LibraryRow::rowLineColourId, 0xFFE4E4E4},
        {LibraryRow::starColourId, 0xFFE8A33D},
        {LibraryRow::starOutlineColourId, 0xFFB8B8B8},
        {LibraryRow::tagFillColourId, 0xFFE6EAEE},
        {LibraryRow::tagTextColourId, 0xFF3C4650},
        {TagChipRow::chipOnColourId, 0xFF1F6FB2},
        {SetupThumbnail::panelColourId, 0xFF3A3E42},
        {SetupThumbnail::keyColourId, 0xFFFAFAFA},
        {SetupThumbnail::keyLineColourId, 0xFFBDBDBD},
        {SetupThumbnail::controlColourId, 0xFF6E757B},
        {SetupThumbnail::differingColourId, 0xFFE8A33D},
        {SetupThumbnail::outlineColourId, 0xFF2A2D30},

        {ComparisonWindow::backgroundColourId, 0xFFF4F4F4},
        {ComparisonWindow::textColourId, 0xFF202020},
        {ComparisonWindow::quietTextColourId, 0xFF707070},
        {ComparisonWindow::takeColourId, 0xFF1F6FB2},
        {ComparisonWindow::unknownColourId, 0xFFB06000},
        {ComparisonWindow::groupLineColourId, 0xFFD0D0D0},
        {ComparisonWindow::takenRowColourId, 0xFFE3EEF8},
    };
    for (const auto& [id, argb] : colours)
        lf.setColour(id, juce::Colour(argb));
}
