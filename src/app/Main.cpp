// Placeholder entry point until the application window exists.
#include <cstdio>

int main()
{
    std::fputs ("Talvo: the application window is not built yet; only the libraries and tests exist.\n", stderr);
    return 1;
}
