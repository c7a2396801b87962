// Does one thing the sanitizers must stop, chosen by the argument, so the
// sanitizer build can prove they are on rather than trust that they are.
#include <cstdlib>
#include <cstring>
#include <limits>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    // Values come from the command line so the compiler cannot fold them.
    const int step = argc;
    if (std::strcmp(argv[1], "overflow") == 0) {
        char* bytes = static_cast<char*>(std::malloc(8));
        std::memset(bytes, 0, 8);
        // Through a volatile pointer only AddressSanitizer sees the block's end.
        char* volatile through = bytes;
        const int read = through[6 + step];
        std::free(bytes);
        return read == 0 ? 0 : 1;
    }
    if (std::strcmp(argv[1], "signed") == 0) {
        volatile int value = std::numeric_limits<int>::max() - 1;
        value = value + step;
        return value == 0 ? 0 : 1;
    }
    if (std::strcmp(argv[1], "leak") == 0) {
        static void* volatile kept;
        kept = std::malloc(64);
        kept = nullptr;
        return 0;
    }
    return 2;
}
