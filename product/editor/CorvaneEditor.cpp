#include "CorvaneEditor.h"

CorvaneEditor::CorvaneEditor (Corvane& processor)
    : BasePluginEditor (processor),
      corvane (processor)
{
    for (int i = 0; i < Corvane::numPadlocks; ++i)
        corvane.getPadlock (i).addListener (this);

    corvane.addListener (static_cast<Corvane::Listener*> (this));
}

CorvaneEditor::~CorvaneEditor()
{
    corvane.removeListener (static_cast<Corvane::Listener*> (this));

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
