/// \file
/// Varn::URI: a URI held as its separate components, with escaping, parsing, writing out,
/// path algebra, relations, host addresses, query maps and local paths; and
/// Varn::URIResolver, the hook through which an application maps URIs before they are
/// compared.
#ifndef TESSERA_URI_H
#define TESSERA_URI_H

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <tessera/Export.h>

namespace Varn {

class URIResolver;

/// A URI held as its components: scheme, user name, password, host, port, path, query and
/// fragment, or, for a URI without "//" after its scheme (`mailto:a@b`), the scheme and
/// the text after it. Each component is stored percent-escaped, in UTF-8. Getters return
/// a component unescaped and setters escape what they are given, so callers deal in plain
/// text; `ToString(false)` writes the escaped URI.
///
/// ```
/// Varn::URI page("HTTP://Example.org/docs/intro.html?lang=en");
/// page.GetAuthority();                           // "example.org" (scheme and host lower-cased)
/// Varn::URI link("../api/x y.html#top");
/// link.MakeAbsoluteURI(page);                    // true
/// link.ToString(false);                          // "http://example.org/api/x%20y.html#top"
/// link.GetPath();                                // "/api/x y.html"
///
/// Varn::URI("http://h/a/b").GetRelation(Varn::URI("http://h/a"), true);  // RELATION_CHILD
/// Varn::URI("c:\\dir").IsValidURI();             // false: a one-letter scheme is a drive
/// ```
///
/// Parsing splits the text at its separators and keeps the pieces as written: it rejects
/// only a scheme that is not two or more ASCII letters (or is "unknown") and a backslash
/// in the path. A URI whose text was rejected is in the *default state*: scheme "unknown",
/// every other component empty, not valid, not relative, not hierarchical, written out as
/// `unknown:`.
///
/// Failures show in results (false, an empty string, the valid flag, a default URI), not
/// as exceptions: the only exceptions that leave a URI operation are `std::bad_alloc`,
/// `std::length_error` for a URI of 4 GiB or more, and Varn::UnknownEncoding from the
/// operations that take an encoding name. An operation that throws `std::bad_alloc` leaves
/// the URI as it was, or, for those that set several components in a row (SetParts,
/// ForceEscape, FromEncodedString), with the components set before.
///
/// The virtual operations call one another (the comparisons and the UTF-8 forms call
/// ToString, the absolute and relative forms call ChDir, IsAbsolute and IsRelative, the
/// generic local-path operations call their platform's variant), so a derived class that
/// overrides one changes the others with it.
///
/// A URI has no lock: several threads may use one URI at once through const operations
/// only; changing it needs the caller's exclusion. See SetResolver for the one piece of
/// shared state.
class TESSERA_API URI {
public:
    /// Text passed to and returned by the URI operations: one UTF-8 string, held by value.
    /// It is built implicitly from a `std::string` or a string literal and converts
    /// implicitly to `const std::string&`, so callers pass and receive plain strings:
    ///
    /// ```
    /// std::string path = uri.GetPath();
    /// uri.SetPath("/docs/a b.html");
    /// ```
    ///
    /// A StringProxy owns a copy of its text and never refers to the caller's memory.
    class StringProxy {
    public:
        /// The empty text.
        StringProxy() = default;
        /// A copy of `text`.
        StringProxy(const std::string& text) : m_text(text) {}
        /// Takes over the characters of `text`, leaving it valid but unspecified.
        StringProxy(std::string&& text) noexcept : m_text(std::move(text)) {}
        /// A copy of the NUL-terminated `text`; a null pointer gives the empty text.
        StringProxy(const char* text) : m_text(text ? text : "") {}

        /// The text, valid as long as this proxy is.
        operator const std::string&() const noexcept { return m_text; }
        /// The text, valid as long as this proxy is.
        const std::string& str() const noexcept { return m_text; }
        /// The text NUL-terminated, valid as long as this proxy is and not changed.
        const char* c_str() const noexcept { return m_text.c_str(); }
        /// The length of the text in bytes (not in characters).
        std::size_t size() const noexcept { return m_text.size(); }
        /// Whether the text has no bytes at all.
        bool empty() const noexcept { return m_text.empty(); }

        ///@{
        /// Compares the text byte for byte with another proxy, a `std::string` or a
        /// NUL-terminated text (a null pointer is the empty text).
        friend bool operator==(const StringProxy& a, const StringProxy& b) { return a.m_text == b.m_text; }
        friend bool operator!=(const StringProxy& a, const StringProxy& b) { return a.m_text != b.m_text; }
        friend bool operator==(const StringProxy& a, const std::string& b) { return a.m_text == b; }
        friend bool operator!=(const StringProxy& a, const std::string& b) { return a.m_text != b; }
        friend bool operator==(const std::string& a, const StringProxy& b) { return a == b.m_text; }
        friend bool operator!=(const std::string& a, const StringProxy& b) { return a != b.m_text; }
        friend bool operator==(const StringProxy& a, const char* b) { return a.m_text == (b ? b : ""); }
        friend bool operator!=(const StringProxy& a, const char* b) { return !(a == b); }
        friend bool operator==(const char* a, const StringProxy& b) { return b == a; }
        friend bool operator!=(const char* a, const StringProxy& b) { return !(b == a); }
        ///@}
        /// Writes the text's bytes to `out`, unchanged.
        friend std::ostream& operator<<(std::ostream& out, const StringProxy& p) { return out << p.m_text; }

    private:
        std::string m_text;
    };

    /// Names a caller's string that GetParts and GetQueryValue write a result into. It is
    /// built implicitly from a `std::string&`, which receives UTF-8, or from a
    /// `std::wstring&`, which receives UTF-16 (one code unit per element, also where
    /// `wchar_t` is 32 bits wide):
    ///
    /// ```
    /// std::wstring value;
    /// if (uri.GetQueryValue("q", value)) { ... }   // value holds the UTF-16 text
    /// ```
    ///
    /// It holds only a pointer to the string and owns nothing: the string must outlive
    /// the call it is passed to.
    class TESSERA_API StringRefProxy {
    public:
        /// Writes into `target`, which receives UTF-8 bytes unchanged.
        StringRefProxy(std::string& target) noexcept : m_wide(0), m_narrow(&target), m_wideTarget(nullptr) {}
        /// Writes into `target`, which receives the text converted to UTF-16.
        StringRefProxy(std::wstring& target) noexcept : m_wide(1), m_narrow(nullptr), m_wideTarget(&target) {}

        /// Replaces the target's content by the UTF-8 `text`: as it is for a narrow target,
        /// converted by Transcoder::asUTF16 for a wide one (invalid UTF-8 becomes U+FFFD).
        StringRefProxy& operator=(const std::string& text);

    private:
        int m_wide;
        std::string* m_narrow;
        std::wstring* m_wideTarget;
    };

    /// How one URI stands to another, as GetRelation reports it for `a.GetRelation(b, ...)`:
    /// - RELATION_NONE (0): unrelated: either is relative, or scheme, host or port differ,
    ///   or the paths part ways (`http://h/ab` against `http://h/a`);
    /// - RELATION_CHILD (1): `a` lies below `b` (`http://h/a/b` against `http://h/a`);
    /// - RELATION_SAME (2): both name the same place (`http://h/a/` against `http://h/a`);
    /// - RELATION_PARENT (3): `a` lies above `b` (`http://h/a` against `http://h/a/b`).
    enum RELATION { RELATION_NONE = 0, RELATION_CHILD = 1, RELATION_SAME = 2, RELATION_PARENT = 3 };

    // ---- Construction, copying, assignment ----------------------------------------

    /// A URI in the default state: scheme "unknown", everything else empty, not valid.
    URI();
    /// A copy of every component and flag of `other`.
    URI(const URI& other);
    /// Parses `text`, a URI in escaped form (`http://h/a%20b`). A text that is not
    /// accepted leaves the URI in the default state, with IsValidURI() false.
    URI(StringProxy text);
    /// Parses the NUL-terminated `text`, as the StringProxy constructor does; a null
    /// pointer is the empty text, which gives a valid, empty relative reference.
    URI(const char* text);
    /// Copies every component and flag of `other`; returns this URI.
    URI& operator=(const URI& other);
    /// Replaces this URI by the parse of `text`: the default state when it is not
    /// accepted, never what the URI held before. Returns this URI.
    URI& operator=(StringProxy text);
    /// Replaces this URI by the parse of `text` (a null pointer is the empty text), as
    /// the StringProxy assignment does. Returns this URI.
    URI& operator=(const char* text);

    // ---- Virtual operations (the order is part of the binary interface) -----------

    /// Destroys the URI; a class derived from URI is destroyed through a URI pointer too.
    virtual ~URI();
    /// Whether the URI is well formed. After parsing: the text was accepted. After a
    /// setter of host, port or path: the URI has a host or a path. After
    /// SetNonHierarchical: the URI has a scheme.
    virtual bool IsValidURI() const;
    /// Whether the URI is not a relative reference. A URI in the default state counts as
    /// absolute.
    virtual bool IsAbsolute() const;
    /// Whether the URI is a relative reference, without a scheme of its own (`../a`, `/a`,
    /// `//server/share`). The default state is not relative; SetPath turns it into a
    /// relative reference.
    virtual bool IsRelative() const;
    /// Whether the path ends with '/' (`http://h/a/`; not `http://h`, whose path is empty).
    virtual bool IsDirectory() const;
    /// Whether the URI has the form scheme "://" host path, or is a relative reference;
    /// false for `mailto:a@b`, `urn:x:1`, `http:/a` and the default state.
    virtual bool IsHierarchical() const;
    /// Whether the scheme equals `name`, ignoring ASCII case (`IsOfType("FILE")` is true
    /// for `file:///x`). The default state's scheme is "unknown".
    virtual bool IsOfType(StringProxy name) const;
    /// Whether the file name has the extension `fileType`, ignoring ASCII case; "txt",
    /// ".txt" and "notes.txt" all ask for "txt". False for a name without extension.
    virtual bool IsOfFileType(StringProxy fileType) const;
    /// The URI as text: scheme ":" ["//" [user [":" password] "@"] host [":" port]] path
    /// ["?" query] ["#" fragment]. "//" is written when there is a host, and always for a
    /// file URI (`file:///C|/x`); a relative reference is written from its path on; a
    /// non-hierarchical URI as scheme ":" text ["?" query] ["#" fragment]; the default
    /// state as `unknown:`. With `unescaped` false the components are written as stored
    /// (escaped); with `unescaped` true they are decoded, except the port and an IPv6
    /// host, which reads well but need not parse back to the same URI.
    virtual StringProxy ToString(bool unescaped = false) const;
    /// `ToString(false)` with the escapes of bytes 0x80-0xFF decoded, so that non-ASCII
    /// characters read as UTF-8 while escaped ASCII stays escaped: `http://h/a%20%C3%A9`
    /// becomes `http://h/a%20é`.
    virtual StringProxy ToStringUTF8() const;
    /// `ToString(false)` with every byte 0x80-0xFF escaped, so the result is pure ASCII:
    /// `http://h/é` becomes `http://h/%C3%A9`.
    virtual StringProxy ToStringUTF8Escaped() const;
    /// Parses `text`, whose bytes (and whose escapes) are in the named `encoding`, and
    /// stores every component as UTF-8 escaped the way the setters escape:
    /// `http://h/caf%E9` in "iso-8859-1" gives the path `/café`. Returns true also when
    /// the text is not a URI (then IsValidURI() is false); false only when a component
    /// does not convert, which leaves the default state. Throws Varn::UnknownEncoding for
    /// an encoding name the registry does not know, before changing anything.
    virtual bool FromEncodedString(StringProxy text, StringProxy encoding);
    /// ToStringUTF8() converted into the named `encoding` (see Transcoder::UTF8ToEncoding:
    /// characters it cannot represent are replaced; empty if it cannot convert at all).
    /// Throws Varn::UnknownEncoding for an encoding name the registry does not know.
    virtual StringProxy ToEncodedString(StringProxy encoding);
    /// Resolves this relative reference against `base`, the way a browser follows a link,
    /// and replaces this URI by the result: `../x` against `http://h/a/b/c` gives
    /// `http://h/a/x` (see ChDir for each kind of reference, and docs/uri-resolution.md
    /// for where this differs from RFC 3986). Returns false, changing nothing, when this
    /// URI is absolute (the default state included) or `base` is relative.
    virtual bool MakeAbsoluteURI(const URI& base);
    /// Replaces this absolute URI by the relative reference that leads to it from
    /// `base`'s directory: `http://h/a/b/c.html` against `http://h/a/d/e.html` gives
    /// `../b/c.html`, and "./" for the directory itself. This URI's query and fragment are
    /// kept. `caseSensitive` false compares path segments ignoring ASCII case. Returns
    /// false, changing nothing, when `base` is relative or its scheme or host differs
    /// (ports and user information are not compared); returns true, changing nothing, when
    /// this URI is relative already.
    virtual bool MakeRelativeURI(const URI& base, bool caseSensitive);
    /// Moves this URI to where `reference` leads from it, as a link is followed:
    ///
    /// | reference on `http://h/a/b/c.html?q#f` | result |
    /// |---|---|
    /// | `d.html`, `../x`, `.`  | `http://h/a/b/d.html`, `http://h/a/x`, `http://h/a/b/` |
    /// | `/p/q`                 | `http://h/p/q` (dot segments are kept as written) |
    /// | `?k=v`                 | `http://h/a/b/?k=v` (the file name goes) |
    /// | `#g`                   | `http://h/a/b/c.html?q#g` (only the fragment changes) |
    /// | `//g/p`                | `http://g/p` (only the scheme is kept) |
    /// | `ftp://g/p`            | `ftp://g/p` (a reference with a scheme replaces all) |
    /// | empty                  | unchanged |
    ///
    /// Apart from `#...`, the result's query and fragment are the reference's, so they
    /// are cleared when it has none. ".." never climbs above the root of an absolute URI;
    /// on a relative one the surplus ".." are kept. With `escape` true the reference is a
    /// plain path, escaped first (so '?', '#' and ':' are path characters); with `escape`
    /// false it is a reference in escaped URI form. Always returns true; a reference that
    /// does not parse may leave IsValidURI() false.
    virtual bool ChDir(StringProxy reference, bool escape);
    /// The local path in this platform's notation: ToLocalPathWin() on Windows,
    /// ToLocalPathUnix() elsewhere (through the virtual table, so an override applies).
    virtual StringProxy ToLocalPath() const;
    /// The local path in classic Macintosh notation, the first segment being the volume:
    /// `file:///Disk/Users/a` gives `Disk:Users:a`, the relative `a/b` gives `:a:b`.
    /// Empty for a file URI whose host is neither empty nor "localhost", and for an
    /// absolute URI of another scheme.
    virtual StringProxy ToLocalPathMac() const;
    /// The local path in Unix notation: the unescaped path of a file URI without a host
    /// (`file:///usr/a%20b` gives `/usr/a b`) or of a relative reference. Empty for a file
    /// URI with a host ("localhost" included) and for an absolute URI of another scheme.
    virtual StringProxy ToLocalPathUnix() const;
    /// The local path in Windows notation: `file:///D|/dir/a%20b.txt` (or `file:///D:/...`)
    /// gives `D:\dir\a b.txt`, `file://server/share/x` gives `\\server\share\x`, a relative
    /// `a/b` gives `a\b`. Empty for an absolute URI of another scheme.
    virtual StringProxy ToLocalPathWin() const;
    /// Makes this URI the file URI of `path` in this platform's notation:
    /// LocalPathToURIWin() on Windows, LocalPathToURIUnix() elsewhere (through the virtual
    /// table, so an override applies).
    virtual void LocalPathToURI(StringProxy path);
    /// Makes this URI the file URI of the classic Macintosh `path`: `Disk:Users:a` gives
    /// `file:///Disk/Users/a`, the relative `:a:b` gives `file:///a/b`, the empty path
    /// gives `file:///`. Scheme, host, port, path, query and fragment are replaced; user
    /// name and password are left as they are.
    virtual void LocalPathToURIMac(StringProxy path);
    /// Makes this URI the file URI of the Unix `path`: `/usr/a b` gives `file:///usr/a%20b`;
    /// a path without a leading '/' gets one, so the empty path gives `file:///`. Scheme,
    /// host, port, path, query and fragment are replaced; user name and password are left
    /// as they are.
    virtual void LocalPathToURIUnix(StringProxy path);
    /// Makes this URI the file URI of the Windows `path`: `D:\dir\a b.txt` gives
    /// `file:///D|/dir/a%20b.txt`, `\\server\share\x` gives `file://server/share/x`, and a
    /// relative path becomes absolute (`dir\x` gives `file:///dir/x`). An empty path
    /// changes nothing. Otherwise scheme, host, port, path, query and fragment are
    /// replaced; user name and password are left as they are.
    virtual void LocalPathToURIWin(StringProxy path);

    // ---- Escaping ------------------------------------------------------------------

    /// Percent-escapes (as `%` and two upper-case hexadecimal digits) the bytes 0x01-0x1F
    /// and 0x7F, space and `` " # % : < > ? @ [ \ ] ^ ` { | } ``; '/', ';', '&', '=', '+',
    /// the other printable ASCII characters and the bytes 0x80-0xFF stay as they are:
    /// `a b/c?d` gives `a%20b/c%3Fd`. `%` is escaped too, so escaping twice is not
    /// escaping once: `%41` gives `%2541`.
    static StringProxy Escape(StringProxy text);
    /// Percent-escapes the bytes 0x00-0x1F and 0x7F and every byte that occurs in `chars`
    /// (bytes 0x80-0xFF only if listed there): "a\tb c" with " " gives `a%09b%20c`.
    static StringProxy EscapeChars(StringProxy text, StringProxy chars);
    /// Escapes a query key or value: as Escape, and also '$', '&', '+', '/' and '=', so
    /// that `a b&c=d+e/f` gives `a%20b%26c%3Dd%2Be%2Ff`. A space becomes `%20`, never '+'.
    static StringProxy QueryEscape(StringProxy text);
    /// Decodes percent escapes: `%41%C3%A9` gives `Aé`. With `onlyHighBytes` true only the
    /// escapes of bytes 0x80-0xFF are decoded (`%41é`). A `%` that does not start an
    /// escape stays as it is (`100%`, `%zz`).
    static StringProxy Unescape(StringProxy text, bool onlyHighBytes);
    /// Decodes a query key or value: '+' is a space, then escapes are decoded, so
    /// `a+b%2Bc` gives `a b+c`.
    static StringProxy QueryUnescape(StringProxy text);
    /// Whether every byte of `text` is an ASCII letter, the test a scheme must pass; true
    /// for the empty text.
    static bool VerifyAlpha(StringProxy text);
    /// Whether `text` holds two ':' or more, the test by which a host counts as an IPv6
    /// address; nothing else is checked ("a:b:c" counts).
    static bool IsIPv6(const std::string& text);

    // ---- Components ----------------------------------------------------------------

    /// The scheme, in lower case, without ':'; "" for a relative reference, "unknown" in
    /// the default state.
    StringProxy GetScheme() const;
    /// The host, unescaped, without user information or port; an IPv6 address without its
    /// brackets (`http://[::1]:80/` gives `::1`).
    StringProxy GetAuthority() const;
    /// The port as written ("8080"), or "" when the URI names none; no default port is
    /// filled in.
    StringProxy GetServerPort() const;
    /// The path, unescaped, with its leading '/' (`http://h/a%20b` gives `/a b`). A file
    /// URI's drive reads `/C|/dir`.
    StringProxy GetPath() const;
    /// The query, without '?': unescaped if `unescape` (but '+' stays '+'), else as
    /// stored. GetQueryByMap reads it as key/value pairs.
    StringProxy GetQuery(bool unescape) const;
    /// The fragment, unescaped, without '#'.
    StringProxy GetFragment() const;
    /// The user name (the user information up to its first ':'), unescaped.
    StringProxy GetUsername() const;
    /// The password (the user information after its first ':'), unescaped.
    StringProxy GetPassword() const;
    /// For a URI without "//" after its scheme, the text after "scheme:" up to any '?' or
    /// '#', unescaped (`mailto:a@b?subject=x` gives `a@b`); "" for a hierarchical URI.
    StringProxy GetNonHierarchical() const;

    /// Sets the scheme (`text` without ':'), escaped and lower-cased. The flags are not
    /// recomputed: to turn a relative reference into an absolute URI or back, follow with
    /// a setter that does (`SetPath(GetPath())`) or use SetParts.
    void SetScheme(StringProxy text);
    /// Sets the host from plain `text`, lower-cased and escaped as one name: `host:80`
    /// is stored as the host `host%3A80`, not split. A text with two ':' is taken as an
    /// IPv6 address and put in brackets. Makes the URI hierarchical and recomputes the
    /// flags (valid when it has a host or a path).
    void SetAuthority(StringProxy text);
    /// Sets the port text (not checked); "" for none. Makes the URI hierarchical and
    /// recomputes the flags.
    void SetServerPort(StringProxy text);
    /// Sets the path from plain `text`, escaped as Escape does ('/' and ';' stay). On a
    /// file URI a leading drive mark `/C|` followed by more text is kept unescaped. A URI
    /// in the default state becomes a relative reference. Makes the URI hierarchical and
    /// recomputes the flags.
    void SetPath(StringProxy text);
    /// Sets the query (`text` without '?'): with `escape` true, escaped as the path is
    /// but keeping '?' (`a b?c&d=e` gives `a%20b?c&d=e`); with `escape` false, stored as
    /// given, for text the caller has escaped. SetQueryByMap writes key/value pairs.
    void SetQuery(StringProxy text, bool escape);
    /// Sets the fragment (`text` without '#'), escaped as SetQuery escapes.
    void SetFragment(StringProxy text);
    /// Sets the user name, escaped as the path is and also '/' and ';'.
    void SetUsername(StringProxy text);
    /// Sets the password, escaped as the user name is (':' and '@' included).
    void SetPassword(StringProxy text);
    /// Makes the URI non-hierarchical, written "scheme:" followed by the escaped `text`
    /// ('@' stays): host, port, user information and path are cleared. Valid when the
    /// URI has a scheme.
    void SetNonHierarchical(StringProxy text);
    /// Sets scheme, host, port, path, query (escaped) and fragment by their setters, in
    /// this order, so a file scheme keeps the path's drive mark. User name and password
    /// are left as they are.
    void SetParts(StringProxy scheme, StringProxy authority, StringProxy serverPort, StringProxy path,
                  StringProxy query, StringProxy fragment);
    /// Writes scheme, host, port, path, query and fragment, unescaped as their getters
    /// return them, into six targets (UTF-16 into wide ones).
    void GetParts(StringRefProxy scheme, StringRefProxy authority, StringRefProxy serverPort, StringRefProxy path,
                  StringRefProxy query, StringRefProxy fragment) const;
    /// Escapes every component the way its setter does, by passing it through its getter
    /// and setter (user name and password excepted): a parsed path `/a b` becomes
    /// `/a%20b`, an escape of a character that needs none (`%41`) is decoded. Recomputes
    /// the flags, so a hierarchical URI without host and path ends up not valid.
    void ForceEscape();

    // ---- Equality ------------------------------------------------------------------

    /// Whether both URIs write out (`ToString(false)`) to the same bytes: URIs parsed from
    /// `HTTP://HOST/a` and `http://host/a` are equal, `http://h/%41` and `http://h/A` are
    /// not. The valid flag is not consulted; GetRelation compares places instead.
    bool operator==(const URI& other) const;
    /// Whether the two URIs write out (`ToString(false)`) to different bytes.
    bool operator!=(const URI& other) const;
    /// Whether this URI writes out (`ToString(false)`) to exactly `text`, which is not
    /// parsed: `URI("HTTP://H/") == "http://h/"` is true, `URI("http://h/") == "http://h"`
    /// is false.
    bool operator==(StringProxy text) const;
    /// Whether this URI writes out to anything but exactly `text`.
    bool operator!=(StringProxy text) const;
    /// As the StringProxy comparison; a null pointer is the empty text.
    bool operator==(const char* text) const;
    /// As the StringProxy comparison; a null pointer is the empty text.
    bool operator!=(const char* text) const;

    // ---- File names ----------------------------------------------------------------

    /// The file name: the unescaped path after its last '/'. With `withoutExtension` it is
    /// cut at its last '.' ("archive.tar.gz" gives "archive.tar", ".profile" gives "").
    /// Empty for a directory (a path that ends with '/').
    StringProxy GetFilename(bool withoutExtension) const;
    /// The file name's extension from its last '.': ".gz" of "archive.tar.gz", "gz" with
    /// `withoutDot`. Empty when the name has no '.' or only a leading one (".profile").
    StringProxy GetExtension(bool withoutDot) const;
    /// The last segment of the unescaped path, for a directory too: "b" for `/a/b/`,
    /// "c.txt" for `/a/c.txt`, "" for `/`.
    StringProxy GetLastPathComponent() const;
    /// Moves the URI one level up and returns the segment it leaves: "/a/b/c.html" becomes
    /// "/a/b/" and gives "c.html"; "/a/b/" becomes "/a/" and gives "b". Query and fragment
    /// are cleared. An absolute URI's root "/" stays and gives "".
    StringProxy RemoveLastPathComponent();
    /// Whether some segment of the unescaped path, the file name included, equals `name`
    /// exactly: for "/a/b/c.html" the names "a", "b" and "c.html" are, "a/b" and "B" are not.
    bool IsUnderDirectory(StringProxy name) const;

    // ---- Relations and absolute/relative forms ------------------------------------

    /// How this URI stands to `other` in the path hierarchy (see RELATION):
    ///
    /// ```
    /// URI("http://h/a/b").GetRelation(URI("http://h/a"), true);      // RELATION_CHILD
    /// URI("http://h:80/a/").GetRelation(URI("http://h/a"), true);    // RELATION_SAME
    /// URI("http://h/A").GetRelation(URI("http://h/a"), false);       // RELATION_SAME
    /// ```
    ///
    /// Scheme, host and port must match. A missing port is the scheme's default (80 for
    /// http, 21 for ftp, 22 for sftp; none for other schemes, so `https://h:443/` and
    /// `https://h/` differ); two IPv6 hosts are compared in their full form. `caseSensitive`
    /// false compares path segments ignoring ASCII case. Query, fragment and user
    /// information are ignored. RELATION_NONE when either URI is relative. Two
    /// non-hierarchical URIs are the same when their schemes and texts are. Both URIs go
    /// through the installed resolver (SetResolver) first.
    RELATION GetRelation(const URI& other, bool caseSensitive) const;
    /// GetRelation of the URI texts `first` and `second`, paths compared case-sensitively.
    static RELATION GetRelationByString(StringProxy first, StringProxy second);
    /// Whether the URI texts `first` and `second` name the same host, byte for byte after
    /// the resolver (no IPv6 expansion). Schemes, ports and user information are ignored;
    /// two URIs without a host compare equal.
    static bool CompareAuthority(StringProxy first, StringProxy second);
    /// The nearest directory that contains both this URI and `other` (after the
    /// resolver): `http://h/a/b/c.html` and `http://h/a/d/e.html` give `http://h/a/`. With
    /// another scheme, host or port it is the root of this URI's host (`http://h/`). A
    /// default URI when either is relative. Never has a query or fragment.
    URI GetCommonParent(const URI& other, bool caseSensitive) const;
    /// GetCommonParent of the URI texts `first` and `second`.
    static URI GetCommonParentByString(StringProxy first, StringProxy second, bool caseSensitive);

    // ---- Host addresses ------------------------------------------------------------

    /// Whether `text` is a dotted IPv4 address: four decimal parts of 0-255. Accepts
    /// "192.168.0.1" and "01.2.3.4"; rejects "1.2.3", "1.2.3.4.5", "1.2.3.256" and "00.1.2.3".
    /// Appends each octet read to `octets` unless it is null, also those read before a
    /// rejected part.
    static bool IsIPv4Address(const std::string& text, std::vector<int>* octets);
    /// Writes four octets (0-255) as two IPv6 groups of four lower-case hexadecimal digits
    /// into `out`, replacing its content: 192, 168, 0, 1 give `c0a8:0001`. False, with
    /// `out` unchanged, unless `octets` holds exactly four.
    static bool ConvertIPv4ToIPv6Addr(std::vector<int>* octets, std::string& out);
    /// A step of ExpandIPv6Addr: writes the ':'-separated groups of `part` (no "::") into
    /// the eight-entry `groups`, each padded to four characters, from index 0 rightwards
    /// if `fromLeft`, else from index 7 leftwards; a dotted IPv4 tail fills the last two.
    /// False when `part` holds "::", a group does not fit, or an IPv4 tail is misplaced;
    /// groups written before then stay written.
    static bool helperIPv6(std::string part, std::vector<std::string>& groups, bool fromLeft);
    /// Appends the full form of an IPv6 `address` (without brackets) to `out`: eight
    /// groups of four characters, shorter ones padded with '0', letters kept in their case.
    ///
    /// ```
    /// ::1                  0000:0000:0000:0000:0000:0000:0000:0001
    /// FE80::a:b            FE80:0000:0000:0000:0000:0000:000a:000b
    /// ::ffff:192.168.0.1   0000:0000:0000:0000:0000:ffff:c0a8:0001
    /// 1:2:3                0001:0002:0003:0000:0000:0000:0000:0000
    /// ```
    ///
    /// False, with `out` unchanged, for the empty text, more than seven ':', two "::", a
    /// group of more than four characters that is no IPv4 address (a zone, as in
    /// `fe80::1%eth0`), or an IPv4 address before the last two groups.
    static bool ExpandIPv6Addr(std::string address, std::string& out);

    // ---- Query maps ----------------------------------------------------------------

    /// Replaces the content of `map` by the query's pairs "key=value&key=value", unescaped
    /// by QueryUnescape ('+' is a space): "b=2&a=1" gives {a: 1, b: 2}. A pair without '='
    /// has an empty value; a repeated key keeps its last value.
    void GetQueryByMap(std::map<std::string, std::string>& map) const;
    /// Sets the query to the pairs of `map`, in key order, each escaped by QueryEscape and
    /// written "key=value" (also for an empty value); an empty map gives an empty query.
    void SetQueryByMap(const std::map<std::string, std::string>& map);
    /// Whether the query holds `key` (unescaped, compared exactly); if so writes its
    /// unescaped value into `value`, which is otherwise left alone.
    bool GetQueryValue(StringProxy key, StringRefProxy value) const;
    /// Sets the value of `key`, adding the key if it is missing. The whole query is
    /// written anew by SetQueryByMap: pairs sorted by key, repeated keys reduced to one,
    /// every key and value escaped again.
    void SetQueryValue(StringProxy key, StringProxy value);

    // ---- Guessing ------------------------------------------------------------------

    /// Makes this URI from `text` as a user types it into an address field. The first rule
    /// that fits decides:
    /// 1. A Windows path becomes a file URI: `D:\dir\a.txt`, `x:/y`, `\\server\share`,
    ///    `//server/share`.
    /// 2. A Unix path becomes a file URI, `/usr/lib`, and so does a root-relative Windows
    ///    path, `\dir\x`.
    /// 3. A complete URI is taken as it is, its escaping normalised by ForceEscape
    ///    (`host:80/dir` is one: its scheme is "host").
    /// 4. An explicit relative reference stays one: `.`, `..`, `./x`, `../x`.
    /// 5. Anything else gets `defaultScheme` and "://" in front: `myhost/page` with "http"
    ///    gives `http://myhost/page`.
    ///
    /// Returns false when nothing fits: for empty text or text that fails to parse
    /// (`h2://x`) the URI is unchanged, for `name://` it keeps only the scheme; otherwise
    /// every component but user name and password is emptied and the URI is not valid.
    bool UnknownToURI(StringProxy text, StringProxy defaultScheme);

    // ---- Resolver ------------------------------------------------------------------

    /// Installs `resolver`, which GetRelation, GetRelationByString, CompareAuthority and
    /// GetCommonParent apply to their URIs before comparing them; null uninstalls it.
    /// Returns the resolver installed before, or null. The caller keeps ownership and must
    /// keep it alive while it is installed. Not thread-safe: install it before other
    /// threads use those operations and do not replace it while they may run.
    static URIResolver* SetResolver(URIResolver* resolver);
    /// The installed resolver's URIResolver::ResolveURI of `uri`, or a copy of `uri` when
    /// none is installed.
    static URI Resolve(const URI& uri);

    // ---- Character classes of the URI grammar --------------------------------------
    // Each string lists the bytes of one class, for callers that build their own checks.

    /// "abcdefghijklmnopqrstuvwxyz".
    static const std::string URIlowalpha;
    /// "ABCDEFGHIJKLMNOPQRSTUVWXYZ".
    static const std::string URIupalpha;
    /// URIlowalpha followed by URIupalpha: the 52 ASCII letters (VerifyAlpha's set).
    static const std::string URIalpha;
    /// "0123456789".
    static const std::string URIdigit;
    /// URIalpha followed by URIdigit.
    static const std::string URIalphanum;
    /// The reserved characters `;/?:@&=+$,[]`.
    static const std::string URIreserved;
    /// The marks `` -_.!~*'() ``.
    static const std::string URImark;
    /// URIalphanum followed by URImark: characters that never need escaping.
    static const std::string URIunreserved;
    /// URIreserved followed by URIunreserved: every character a URI may hold unescaped.
    static const std::string URIuric;
    /// URIdigit followed by "ABCDEFabcdef": the hexadecimal digits.
    static const std::string URIhex;
    /// The text `%xx`, a pattern of an escape rather than a set of bytes.
    static const std::string URIescaped;
    /// " ", the space alone.
    static const std::string URIspace;
    /// The delimiters `<>#%"`.
    static const std::string URIdelims_real;
    /// URIdelims_real followed by `:?@`.
    static const std::string URIdelims;
    /// URIdelims_real followed by `:?`.
    static const std::string URInonhierdelims;
    /// The unwise characters `` {}|\^[]` ``.
    static const std::string URIunwise;
    /// The control bytes 0x01-0x1F and 0x7F (as controlchars).
    static const std::string URIcontrol;
    /// URIcontrol, URIspace, URIdelims and URIunwise: what Escape escapes.
    static const std::string URIexcluded;
    /// `/?:@&=+$`.
    static const std::string URIqueryreserved;
    /// URIexcluded followed by URIqueryreserved: what QueryEscape escapes.
    static const std::string URIqueryexcluded;
    /// URIcontrol, URIspace, URInonhierdelims and URIunwise: what SetNonHierarchical
    /// escapes.
    static const std::string URInonhierexcluded;
    /// URIcontrol, URIspace, URIdelims_real, `:@` and URIunwise: what SetQuery and
    /// SetFragment escape.
    static const std::string URInewrfcexcluded;
    /// The bytes 0x01-0x1F and 0x7F, followed by a terminating NUL (33 bytes).
    static const char controlchars[33];

protected:
    /// Appends the non-empty segments of `path` to `segments` (which is not cleared) and
    /// reports whether the path began and ended with '/': "/a//b/" gives "a", "b", true,
    /// true; "/" gives no segment, true, false.
    static void SplitPath(const std::string& path, std::vector<std::string>& segments, bool& leading, bool& trailing);
    /// Appends the non-empty segments of `path` to `segments`, which is not cleared.
    static void SplitPath(const std::string& path, std::vector<std::string>& segments);
    /// Joins `segments` with '/', adds a trailing '/' if `trailing` and the result is not
    /// empty, then a leading '/' if `leading`: no segments with `leading` give "/".
    static std::string JoinPath(const std::vector<std::string>& segments, bool leading, bool trailing);

    /// Replaces every component and flag by the parse of `text` and returns whether it was
    /// accepted; if not, the URI is in the default state. `text` may be one of this URI's
    /// own components. Validity is decided by ValidateURI.
    bool ParseURI(const std::string& text);
    /// ParseURI without its result, for constructors: IsValidURI() tells the outcome.
    void ConstructURI(const std::string& text);
    /// Whether the parsed components pass the parser's rules: an absolute URI's scheme is
    /// two or more ASCII letters and not "unknown", and neither the path nor the text after
    /// "scheme:" holds a backslash. Calls IsAbsolute and IsRelative through the virtual
    /// table. Changes nothing.
    bool ValidateURI();
    /// Lower-cases the ASCII letters of `text` in place; other bytes stay.
    static void MakeLower(std::string& text);
    /// Compares `a` and `b` byte for byte as unsigned values (a prefix first): negative, 0
    /// or positive. With `caseSensitive` false ASCII letters are compared lower-cased.
    static int Compare(const std::string& a, const std::string& b, bool caseSensitive);
    /// Turns `text`, escaped text whose escapes stand for bytes of the named `encoding`,
    /// into plain UTF-8: `caf%E9` with "iso-8859-1" gives `café`. Escapes of ASCII bytes
    /// are decoded too. False, with `text` unchanged, when a piece does not convert.
    /// Throws Varn::UnknownEncoding for an encoding name the registry does not know.
    bool NormalizeEncoding(std::string& text, const std::string& encoding);
    /// Puts the URI in the default state: scheme "unknown", every other component empty,
    /// every flag false.
    void Initialize();
    /// Copies every component and flag of `other`; copying a URI onto itself changes
    /// nothing.
    void CopyURI(const URI& other);
    /// Makes the URI hierarchical or not and recomputes the flags. `hierarchical` true:
    /// clears the text after "scheme:"; relative when the scheme is "" or "unknown"; valid
    /// when host or path is not empty. False: clears host, port, user information and
    /// path; not relative; valid when the scheme is neither "" nor "unknown". Query and
    /// fragment are kept.
    void SetHierState(bool hierarchical);

private:
    class Storage;  // reads and writes the members below: src/uri/storage.h

    static unsigned int ParseHex(const std::string& text, char& out);
    std::string GetDefaultPort() const;

    /// The nine components in one buffer: component i is the bytes [m_bounds[2 * i],
    /// m_bounds[2 * i + 1]) of m_text. They lie in the order scheme, non-hierarchical part,
    /// user name, password, host, port, path, query, fragment, none before the end of the
    /// one it follows; the bytes between two of them belong to neither (a parsed URI keeps
    /// its separators there, so that writing it out is mostly one copy).
    std::string m_text;
    std::uint32_t m_bounds[18];
    bool m_valid;
    bool m_relative;
    bool m_hierarchical;
    /// What is known of the buffer since it was last written, one bit a fact (URI::Storage
    /// sets and clears them); a clear bit means "not known", never "false". It takes a byte
    /// that was padding: the size and every other member's place are as they were.
    std::uint8_t m_facts;

    static URIResolver* m_Resolver;
};

/// An application's mapping of URIs, for example from aliases to their targets, that
/// GetRelation, GetRelationByString, CompareAuthority and GetCommonParent apply to their
/// URIs before they compare them (MakeAbsoluteURI, MakeRelativeURI and the equality
/// operators do not). Derive from it, implement ResolveURI and install an instance with
/// URI::SetResolver:
///
/// ```
/// class Aliases : public Varn::URIResolver {
/// public:
///     Varn::URI ResolveURI(const Varn::URI& uri) override {
///         return uri.GetAuthority() == "www" ? Varn::URI("http://example.org/") : uri;
///     }
/// };
/// static Aliases aliases;
/// Varn::URI::SetResolver(&aliases);   // before other threads compare URIs
/// ```
///
/// The library never copies or deletes a resolver.
class TESSERA_API URIResolver {
public:
    /// A resolver; the class holds no state of its own.
    URIResolver() = default;
    /// A copy; the class holds no state of its own.
    URIResolver(const URIResolver&) = default;
    /// Copies nothing (the class holds no state of its own); returns this resolver.
    URIResolver& operator=(const URIResolver&) { return *this; }
    /// Destroys the resolver. It does not uninstall itself: call
    /// `URI::SetResolver(nullptr)` (or install another) first if it is installed.
    virtual ~URIResolver();
    /// The URI that comparisons should use in place of `uri`, which comes as the caller
    /// holds it (absolute or relative, possibly not valid). Comparisons resolve URIs that
    /// were resolved already, so resolving a result again should give it back. Called on
    /// the comparing thread, possibly on several threads at once.
    virtual URI ResolveURI(const URI& uri) = 0;
};

}  // namespace Varn

#endif  // TESSERA_URI_H
