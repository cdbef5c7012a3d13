// Resolves a link found on a page against the page's address and prints it in UTF-8.
#include <iostream>

#include <tessera/URI.h>

int main(int argc, char** argv) {
    const char* page = argc > 1 ? argv[1] : "http://Example.org/docs/guide/intro.html";
    const char* href = argc > 2 ? argv[2] : "../api/caf\xC3\xA9 menu.html#top";

    Varn::URI base(page);
    if (!base.IsValidURI()) {
        std::cerr << "not a URI: " << page << '\n';
        return 1;
    }
    Varn::URI link(href);
    link.MakeAbsoluteURI(base);
    std::cout << "host:     " << link.GetAuthority() << '\n'
              << "path:     " << link.GetPath() << '\n'
              << "readable: " << link.ToStringUTF8() << '\n'
              << "escaped:  " << link.ToStringUTF8Escaped() << '\n';
    return 0;
}
