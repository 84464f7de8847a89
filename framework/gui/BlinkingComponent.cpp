#include "BlinkingComponent.h"

BlinkingComponent::BlinkingComponent()
    : timer (std::make_unique<BlinkingComponentTimer> (*this))
{
}

BlinkingComponent::~BlinkingComponent() = default;

void BlinkingComponent::startBlinking()
{
    blinkState = false;
    timer->startTimer (blinkInterval);
    blinkStateChanged();
}

void BlinkingComponent::stopBlinking()
{
    timer->stopTimer();
    blinkStateChanged();
}

bool BlinkingComponent::isBlinking() const
{
    return timer->isTimerRunning();
}

void BlinkingComponent::BlinkingComponentTimer::timerCallback()
{
    owner.blinkState = ! owner.blinkState;
    owner.blinkStateChanged();
}
