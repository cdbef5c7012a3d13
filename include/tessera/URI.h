// Varn::URI: a URI held as its separate components, with escaping, parsing,
// writing out, path algebra, relations, host addresses, query maps and local paths.
#ifndef TESSERA_URI_H
#define TESSERA_URI_H

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <tessera/Export.h>

namespace Varn {

class URIResolver;

/// A URI as nine escaped component strings (UTF-8) and three flags: valid, relative
/// and hierarchical. Getters return unescaped text, setters take plain text and escape
/// it. Failures show as results (false, empty text, the valid flag), never as exceptions.
class TESSERA_API URI {
public:
    /// Text passed to and returned from URI operations: one UTF-8 string, by value.
    class StringProxy {
    public:
        StringProxy() = default;
        /// Copies the text.
        StringProxy(const std::string& text) : m_text(text) {}
        /// Takes over the text.
        StringProxy(std::string&& text) noexcept : m_text(std::move(text)) {}
        /// Copies the NUL-terminated text; null is the empty text.
        StringProxy(const char* text) : m_text(text ? text : "") {}

        /// The text.
        operator const std::string&() const noexcept { return m_text; }
        /// The text.
        const std::string& str() const noexcept { return m_text; }
        /// The text, NUL-terminated.
        const char* c_str() const noexcept { return m_text.c_str(); }
        /// Length in bytes.
        std::size_t size() const noexcept { return m_text.size(); }
        /// Whether the text is empty.
        bool empty() const noexcept { return m_text.empty(); }

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
        friend std::ostream& operator<<(std::ostream& out, const StringProxy& p) { return out << p.m_text; }

    private:
        std::string m_text;
    };

    /// Names a caller's string that an operation writes its result into: a narrow
    /// target receives UTF-8, a wide target receives UTF-16. It must outlive the call.
    class TESSERA_API StringRefProxy {
    public:
        /// Writes into a narrow string.
        StringRefProxy(std::string& target) noexcept : m_wide(0), m_narrow(&target), m_wideTarget(nullptr) {}
        /// Writes into a wide string, as UTF-16.
        StringRefProxy(std::wstring& target) noexcept : m_wide(1), m_narrow(nullptr), m_wideTarget(&target) {}

        /// Stores UTF-8 text into the target, converted to UTF-16 for a wide one.
        StringRefProxy& operator=(const std::string& text);

    private:
        int m_wide;
        std::string* m_narrow;
        std::wstring* m_wideTarget;
    };

    /// How one URI relates to another.
    enum RELATION { RELATION_NONE = 0, RELATION_CHILD = 1, RELATION_SAME = 2, RELATION_PARENT = 3 };

    // ---- Construction, copying, assignment ----------------------------------------

    /// The default state: scheme "unknown", everything else empty, not valid.
    URI();
    /// A copy of every component and flag.
    URI(const URI& other);
    /// Parses the text; on failure the URI is in the default state.
    URI(StringProxy text);
    /// Parses the text (null is the empty text); on failure the default state.
    URI(const char* text);
    /// Copies every component and flag.
    URI& operator=(const URI& other);
    /// Replaces this URI by the parse of the text.
    URI& operator=(StringProxy text);
    /// Replaces this URI by the parse of the text (null is the empty text).
    URI& operator=(const char* text);

    // ---- Virtual operations (the order is part of the binary interface) -----------

    /// Destroys the URI.
    virtual ~URI();
    /// Whether the URI is well formed.
    virtual bool IsValidURI() const;
    /// Whether the URI has a scheme of its own.
    virtual bool IsAbsolute() const;
    /// Whether the URI is a relative reference.
    virtual bool IsRelative() const;
    /// Whether the path ends with '/'.
    virtual bool IsDirectory() const;
    /// Whether the URI has the generic scheme://host/path structure (or is relative).
    virtual bool IsHierarchical() const;
    /// Whether the scheme equals name, ignoring case.
    virtual bool IsOfType(StringProxy name) const;
    /// Whether the file name's extension equals fileType, ignoring case.
    virtual bool IsOfFileType(StringProxy fileType) const;
    /// The URI as text: escaped as stored, or with its components unescaped.
    virtual StringProxy ToString(bool unescaped = false) const;
    /// The escaped URI with escapes of non-ASCII bytes decoded (readable UTF-8).
    virtual StringProxy ToStringUTF8() const;
    /// The escaped URI with every non-ASCII byte escaped as well (pure ASCII).
    virtual StringProxy ToStringUTF8Escaped() const;
    /// Parses text written in the named encoding; false if a conversion failed.
    virtual bool FromEncodedString(StringProxy text, StringProxy encoding);
    /// The readable UTF-8 form converted into the named encoding.
    virtual StringProxy ToEncodedString(StringProxy encoding);
    /// Resolves this relative reference against base.
    virtual bool MakeAbsoluteURI(const URI& base);
    /// Rewrites this URI as a reference relative to base where possible.
    virtual bool MakeRelativeURI(const URI& base, bool caseSensitive);
    /// Moves this URI by a reference, as a browser follows a link.
    virtual bool ChDir(StringProxy reference, bool escape);
    /// The local path in this platform's notation, or empty.
    virtual StringProxy ToLocalPath() const;
    /// The local path in classic Macintosh notation, or empty.
    virtual StringProxy ToLocalPathMac() const;
    /// The local path in Unix notation, or empty.
    virtual StringProxy ToLocalPathUnix() const;
    /// The local path in Windows notation, or empty.
    virtual StringProxy ToLocalPathWin() const;
    /// Replaces this URI by the file URI of a path in this platform's notation.
    virtual void LocalPathToURI(StringProxy path);
    /// Replaces this URI by the file URI of a classic Macintosh path.
    virtual void LocalPathToURIMac(StringProxy path);
    /// Replaces this URI by the file URI of a Unix path.
    virtual void LocalPathToURIUnix(StringProxy path);
    /// Replaces this URI by the file URI of a Windows path.
    virtual void LocalPathToURIWin(StringProxy path);

    // ---- Escaping ------------------------------------------------------------------

    /// Percent-escapes the bytes that may not stand in a path.
    static StringProxy Escape(StringProxy text);
    /// Percent-escapes control bytes and every byte listed in chars.
    static StringProxy EscapeChars(StringProxy text, StringProxy chars);
    /// Percent-escapes the bytes that may not stand in a query key or value.
    static StringProxy QueryEscape(StringProxy text);
    /// Decodes percent escapes (only those of bytes 0x80-0xFF if onlyHighBytes).
    static StringProxy Unescape(StringProxy text, bool onlyHighBytes);
    /// Decodes a query text: '+' is a space, then percent escapes.
    static StringProxy QueryUnescape(StringProxy text);
    /// Whether every byte is an ASCII letter (true for empty text).
    static bool VerifyAlpha(StringProxy text);
    /// Whether text holds two ':' (the library's test for an IPv6 host).
    static bool IsIPv6(const std::string& text);

    // ---- Components ----------------------------------------------------------------

    /// The scheme, lower case ("unknown" if never set).
    StringProxy GetScheme() const;
    /// The host, unescaped; an IPv6 literal without its brackets.
    StringProxy GetAuthority() const;
    /// The port text, "" when none.
    StringProxy GetServerPort() const;
    /// The path, unescaped.
    StringProxy GetPath() const;
    /// The query, unescaped or as stored ('+' is never turned into a space).
    StringProxy GetQuery(bool unescape) const;
    /// The fragment, unescaped.
    StringProxy GetFragment() const;
    /// The user name, unescaped.
    StringProxy GetUsername() const;
    /// The password, unescaped.
    StringProxy GetPassword() const;
    /// Everything after "scheme:" of a non-hierarchical URI, unescaped.
    StringProxy GetNonHierarchical() const;

    /// Sets the scheme (escaped, lower-cased); flags unchanged.
    void SetScheme(StringProxy text);
    /// Sets the host; an IPv6 address is bracketed, anything else escaped whole.
    void SetAuthority(StringProxy text);
    /// Sets the port text.
    void SetServerPort(StringProxy text);
    /// Sets the path, escaped; a file URI keeps a "/C|" drive mark.
    void SetPath(StringProxy text);
    /// Sets the query, escaped or (escape false) as given.
    void SetQuery(StringProxy text, bool escape);
    /// Sets the fragment, escaped.
    void SetFragment(StringProxy text);
    /// Sets the user name, escaped.
    void SetUsername(StringProxy text);
    /// Sets the password, escaped.
    void SetPassword(StringProxy text);
    /// Makes the URI non-hierarchical with this text after "scheme:".
    void SetNonHierarchical(StringProxy text);
    /// Sets scheme, host, port, path, query and fragment at once.
    void SetParts(StringProxy scheme, StringProxy authority, StringProxy serverPort, StringProxy path,
                  StringProxy query, StringProxy fragment);
    /// Reads scheme, host, port, path, query and fragment, unescaped, into six targets.
    void GetParts(StringRefProxy scheme, StringRefProxy authority, StringRefProxy serverPort, StringRefProxy path,
                  StringRefProxy query, StringRefProxy fragment) const;
    /// Re-escapes every component in the canonical way.
    void ForceEscape();

    // ---- Equality ------------------------------------------------------------------

    /// Whether both URIs write out to the same escaped text.
    bool operator==(const URI& other) const;
    /// Whether the two URIs write out to different escaped text.
    bool operator!=(const URI& other) const;
    /// Whether this URI writes out to exactly this text (the text is not parsed).
    bool operator==(StringProxy text) const;
    /// Whether this URI writes out to anything but this text.
    bool operator!=(StringProxy text) const;
    /// Whether this URI writes out to exactly this text (null is the empty text).
    bool operator==(const char* text) const;
    /// Whether this URI writes out to anything but this text (null is the empty text).
    bool operator!=(const char* text) const;

    // ---- File names ----------------------------------------------------------------

    /// The last path segment of a non-directory, optionally without its extension.
    StringProxy GetFilename(bool withoutExtension) const;
    /// The file name's extension, with or without its dot.
    StringProxy GetExtension(bool withoutDot) const;
    /// The last path segment, for a directory too.
    StringProxy GetLastPathComponent() const;
    /// Removes the last path segment (and query and fragment); returns it.
    StringProxy RemoveLastPathComponent();
    /// Whether a segment of the directory path equals name.
    bool IsUnderDirectory(StringProxy name) const;

    // ---- Relations and absolute/relative forms ------------------------------------

    /// How this URI relates to other: none, child, same or parent.
    RELATION GetRelation(const URI& other, bool caseSensitive) const;
    /// How the URI text first relates to the URI text second.
    static RELATION GetRelationByString(StringProxy first, StringProxy second);
    /// Whether the hosts of two URI texts are equal.
    static bool CompareAuthority(StringProxy first, StringProxy second);
    /// The nearest directory that contains both URIs, or a default URI.
    URI GetCommonParent(const URI& other, bool caseSensitive) const;
    /// The nearest directory that contains both URI texts, or a default URI.
    static URI GetCommonParentByString(StringProxy first, StringProxy second, bool caseSensitive);

    // ---- Host addresses ------------------------------------------------------------

    /// Whether text is a dotted IPv4 address; appends its octets to octets if given.
    static bool IsIPv4Address(const std::string& text, std::vector<int>* octets);
    /// Writes four IPv4 octets as two four-digit hexadecimal IPv6 groups.
    static bool ConvertIPv4ToIPv6Addr(std::vector<int>* octets, std::string& out);
    /// Fills IPv6 groups from one side of a "::" (used by ExpandIPv6Addr).
    static bool helperIPv6(std::string part, std::vector<std::string>& groups, bool fromLeft);
    /// Appends the full eight-group form of an IPv6 address (without brackets) to out.
    static bool ExpandIPv6Addr(std::string address, std::string& out);

    // ---- Query maps ----------------------------------------------------------------

    /// Replaces map by the query's key/value pairs, unescaped.
    void GetQueryByMap(std::map<std::string, std::string>& map) const;
    /// Rebuilds the query from the map's pairs, escaped.
    void SetQueryByMap(const std::map<std::string, std::string>& map);
    /// Whether the query holds key; if so writes its value into value.
    bool GetQueryValue(StringProxy key, StringRefProxy value) const;
    /// Sets one query value, adding the key if it is missing.
    void SetQueryValue(StringProxy key, StringProxy value);

    // ---- Guessing ------------------------------------------------------------------

    /// Makes a URI from text as a user types it (path, host name, URI); false if none.
    bool UnknownToURI(StringProxy text, StringProxy defaultScheme);

    // ---- Resolver ------------------------------------------------------------------

    /// Installs the resolver that comparisons apply first; returns the previous one.
    static URIResolver* SetResolver(URIResolver* resolver);
    /// The URI as the installed resolver maps it (a copy when none is installed).
    static URI Resolve(const URI& uri);

    // ---- Character classes of the URI grammar --------------------------------------
    // Each string lists the bytes of one class, for callers that build their own checks.

    static const std::string URIlowalpha;
    static const std::string URIupalpha;
    static const std::string URIalpha;
    static const std::string URIdigit;
    static const std::string URIalphanum;
    static const std::string URIreserved;
    static const std::string URImark;
    static const std::string URIunreserved;
    static const std::string URIuric;
    static const std::string URIhex;
    static const std::string URIescaped;
    static const std::string URIspace;
    static const std::string URIdelims_real;
    static const std::string URIdelims;
    static const std::string URInonhierdelims;
    static const std::string URIunwise;
    static const std::string URIcontrol;
    static const std::string URIexcluded;
    static const std::string URIqueryreserved;
    static const std::string URIqueryexcluded;
    static const std::string URInonhierexcluded;
    static const std::string URInewrfcexcluded;
    /// The bytes 0x01-0x1F and 0x7F, NUL-terminated.
    static const char controlchars[33];

protected:
    /// Appends the segments of path; reports a leading and a trailing '/'.
    static void SplitPath(const std::string& path, std::vector<std::string>& segments, bool& leading, bool& trailing);
    /// Appends the segments of path.
    static void SplitPath(const std::string& path, std::vector<std::string>& segments);
    /// Joins segments with '/', with an optional leading and trailing '/'.
    static std::string JoinPath(const std::vector<std::string>& segments, bool leading, bool trailing);

    /// Parses text into this URI; false (and the default state) if it is not valid.
    bool ParseURI(const std::string& text);
    /// Parses text into this URI.
    void ConstructURI(const std::string& text);
    /// Whether the parsed components pass the validity rules.
    bool ValidateURI();
    /// ASCII lower-casing in place.
    static void MakeLower(std::string& text);
    /// Three-way comparison, optionally ignoring ASCII case.
    static int Compare(const std::string& a, const std::string& b, bool caseSensitive);
    /// Turns escaped text whose escapes are bytes of encoding into plain UTF-8.
    bool NormalizeEncoding(std::string& text, const std::string& encoding);
    /// Resets to the default state.
    void Initialize();
    /// Copies every component and flag of other.
    void CopyURI(const URI& other);
    /// Makes the URI hierarchical or not and recomputes the flags.
    void SetHierState(bool hierarchical);

private:
    static unsigned int ParseHex(const std::string& text, char& out);
    std::string GetDefaultPort() const;

    std::string m_scheme;
    std::string m_authority;
    std::string m_serverPort;
    std::string m_path;
    std::string m_query;
    std::string m_fragment;
    std::string m_username;
    std::string m_password;
    std::string m_nonHierarchical;
    bool m_valid;
    bool m_relative;
    bool m_hierarchical;

    static URIResolver* m_Resolver;
};

/// An application's mapping of URIs (for example aliases to their targets) that the
/// comparing operations apply before they look at a URI. Install with URI::SetResolver.
class TESSERA_API URIResolver {
public:
    /// A resolver (it holds no state of its own).
    URIResolver() = default;
    /// A copy (there is nothing to copy).
    URIResolver(const URIResolver&) = default;
    /// Copies nothing; returns this resolver.
    URIResolver& operator=(const URIResolver&) { return *this; }
    /// Destroys the resolver; uninstall it first if it is installed.
    virtual ~URIResolver();
    /// The URI that comparisons should use in place of uri.
    virtual URI ResolveURI(const URI& uri) = 0;
};

}  // namespace Varn

#endif  // TESSERA_URI_H
