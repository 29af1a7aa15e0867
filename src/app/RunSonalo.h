#pragma once

#include <functional>

class SonaloApp;

// The whole program: the application object, the start-up and the event loop; returns the exit
// code. beforeStart is called once the windows exist, before the splash shows; test builds of
// the program hook in there, the shipped one passes nothing.
int runSonalo(int argc, char **argv, const std::function<void(SonaloApp &)> &beforeStart = {});
