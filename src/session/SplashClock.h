#pragma once

// The splash's tick count: from the 8th tick on the main window is shown, from the 11th the
// splash hides and stops. Kept apart from the timer so that a test can drive it tick by tick.
struct SplashClock
{
    int SplashTicks = 0;

    struct Step
    {
        bool showMain = false;
        bool hideSplash = false;
    };

    Step tick()
    {
        ++SplashTicks;
        return {SplashTicks > 7, SplashTicks > 10};
    }
};
