// Reads RFC 3339 time stamps from the command line and prints them in other forms.
#include <iostream>
#include <string>

#include <tessera/TimeStamp.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        Varn::TimeStamp now;
        now.SetToCurrentTime();
        std::string text;
        now.ToRFC3339(text);
        std::cout << "now: " << text << '\n';
        return 0;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        Varn::TimeStamp stamp;
        if (!stamp.FromRFC3339(argv[i])) {
            std::cerr << "not an RFC 3339 time: " << argv[i] << '\n';
            status = 1;
            continue;
        }
        std::string iso;
        stamp.ToISO8601(iso, true);
        std::cout << argv[i] << " -> ticks " << stamp.ToInt64() << ", time_t " << stamp.ToTime_t() << ", ISO basic "
                  << iso << ", W3C " << stamp.ToW3DTF() << '\n';
    }
    return status;
}
