#include "app/RunSonalo.h"

int main(int argc, char *argv[])
{
    return runSonalo(argc, argv);
}
