#include "CorvaneEditor.h"

CorvaneEditor::CorvaneEditor (Corvane& processor)
    : BasePluginEditor (processor),
      corvane (processor)
{
    for (int i = 0; i < Corvane::numPadlocks; ++i)
        corvane.getPadlock (i).addListener (this);

    corvane.midiControl.addListener (this);
    corvane.addListener (this);
}

CorvaneEditor::~CorvaneEditor()
{
    corvane.removeListener (this);
    corvane.midiControl.removeListener (this);

    for (int i = 0; i < Corvane::numPadlocks; ++i)
        corvane.getPadlock (i).removeListener (this);
}

void CorvaneEditor::padlockChanged (ParameterPadlock*)
{
    repaint();
}

void CorvaneEditor::lineCopied()
{
    refreshLineDisplay();
}

void CorvaneEditor::linePasted (Corvane*)
{
    refreshLineDisplay();
}

void CorvaneEditor::refreshLineDisplay()
{
    ++numLineDisplayRefreshes;
    repaint();
}
