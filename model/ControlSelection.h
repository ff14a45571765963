#pragma once

#include <set>
#include <vector>

/** The kinds of control the picture groups for selecting many at once. */
enum class ControlKind
{
    knob,
    slider,
    button, // snapshot, panel and host-control buttons
    pad,
    wheelOrPedal,
    none
};

/** The controls selected in the picture, for changing many at once. One of them, the last clicked, is the
    one whose settings the panel names; the others follow it. Never empty once something is selected.

    Plain data over the picture's controls in reading order (rows from top to bottom, each from left to
    right); it knows nothing of buttons. */
class ControlSelection
{
public:
    /** The selectable controls in the picture's reading order. */
    explicit ControlSelection(std::vector<int> readingOrder);

    static ControlKind kindOf(int id);

    /** A plain click: only this control. */
    void click(int id);
    /** Ctrl+click: adds the control, or takes it out; the last one stays. */
    void toggle(int id);
    /** Shift+click: the controls of this one's kind from the last clicked (not Shift+clicked) to this one,
        in reading order, instead of the selection. */
    void extendTo(int id);
    /** Every control of one kind; the first in reading order leads. */
    void selectKind(ControlKind kind);
    /** A band drawn over the picture: exactly these controls, of any kind (adding: with those selected
        before), the panel showing reached (else the first of them). The anchor stays, so that a band
        stretched by the keys grows from where it started. An empty band changes nothing. */
    void selectBand(const std::vector<int>& ids, int reached, bool adding);
    /** Where Shift+click and a band stretched by the keys start: the last clicked; -1 before any. */
    int anchorControl() const { return anchor; }

    /** The control the panel shows, the last clicked; -1 before any. */
    int primary() const { return lead; }
    bool contains(int id) const { return chosen.count(id) != 0; }
    int size() const { return (int)chosen.size(); }
    bool isMany() const { return chosen.size() > 1; }
    /** The selected controls in reading order. */
    std::vector<int> ids() const;

private:
    int positionOf(int id) const;

    std::vector<int> order;
    std::set<int> chosen;
    int lead = -1, anchor = -1;
};
