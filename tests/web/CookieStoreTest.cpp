#include "web/CookieStore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace sorvane::web {
namespace {

using test::gb;

TEST(CookieStore, MergesSetCookieHeaders)
{
    struct Case
    {
        const char *name;
        std::string store;
        std::string headers;
        std::string expected;
    };
    const Case cases[] = {
        { "new value in place", "sid=1;uid=7;", "Set-Cookie: uid=8; path=/\r\n", "sid=1;uid=8;" },
        { "deletion cookie removes", "sid=1;",
            "Set-Cookie: sid=deleted; expires=Thu, 01 Jan 1970 00:00:01 GMT\r\n", "" },
        { "deletion of an unknown cookie", "a=1;",
            "Set-Cookie: z=deleted; expires=Thu, 01 Jan 1970 00:00:01 GMT\r\n", "a=1;" },
        { "empty value removes", "a=1;b=2;", "Set-Cookie: a=; path=/\r\n", "b=2;" },
        { "line without attributes", "", "Set-Cookie: a=b\r\n", "a=b;" },
        { "no blank after the colon is not merged", "", "Set-Cookie:a=b; path=/\r\n", "" },
        { "value holding =", "", "Set-Cookie: t=a=b; path=/\r\n", "t=a=b;" },
        { "several, among other headers, in order", "",
            "Content-Type: text/plain\r\nSet-Cookie: a=1; path=/\r\nX-Other: y\r\nSet-Cookie: b=2\r\n",
            "a=1;b=2;" },
        { "a header naming no cookie ends the merge", "", "Set-Cookie: novalue\r\nSet-Cookie: a=1\r\n", "" },
        { "program text kept byte for byte", "", "Set-Cookie: n=" + gb(u8"中文") + "; path=/\r\n",
            "n=" + gb(u8"中文") + ";" },
        // A cookie is known only by an entry that starts with its name.
        { "name inside another entry is a new cookie", "xuid=5;", "Set-Cookie: uid=6\r\n", "xuid=5;uid=6;" },
        { "the entry of the name itself is updated", "xuid=5;uid=1;", "Set-Cookie: uid=2\r\n",
            "xuid=5;uid=2;" },
        { "deleting leaves a longer name alone", "xuid=5;uid=1;",
            "Set-Cookie: uid=deleted; expires=Thu, 01 Jan 1970 00:00:01 GMT\r\n", "xuid=5;" },
        { "value text equal to a name", "a=uid;uid=1;", "Set-Cookie: uid=3\r\n", "a=uid;uid=3;" },
        // Cookies that would break the store or the Cookie header made from it.
        { "name holding ;", "", "Set-Cookie: a;b=1\r\nSet-Cookie: c=2\r\n", "c=2;" },
        { "value holding a lone CR", "", "Set-Cookie: a=1\rInjected: x\r\nSet-Cookie: c=2\r\n", "c=2;" },
        { "value holding a control byte", "", "Set-Cookie: a=1\x01; path=/\r\n", "" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CookieStore store(c.store);
        store.merge(c.headers);
        EXPECT_EQ(store.text(), c.expected);
    }
}

TEST(CookieStore, LaterRepliesKeepMerging)
{
    CookieStore store;
    store.merge("Set-Cookie: a=1\r\nSet-Cookie: b=2\r\n");
    store.merge("Set-Cookie: a=3; path=/\r\n");
    store.merge("Set-Cookie: c=4\r\n");
    EXPECT_EQ(store.text(), "a=3;b=2;c=4;");
}

TEST(CookieFromHeaders, FindsTheValueOfOneCookie)
{
    struct Case
    {
        std::string headers, name, expected;
    };
    const Case cases[] = {
        { "Set-Cookie: bid=abc; path=/\r\n", "bid", "abc" },
        { "Set-Cookie:a=b; path=/\r\n", "a", "b" }, // the spelling without a blank
        { "Set-Cookie: a=1\r\nSet-Cookie: a=2; path=/\r\n", "a", "1" },
        { "Set-Cookie: a=b\r\nSet-Cookie: c=d; path=/\r\n", "a", "b" }, // never past its own line
        { "Set-Cookie: xuid=5; path=/\r\n", "uid", "" },
        { "Content-Type: text/plain\r\n", "a", "" },
        { "", "a", "" },
    };
    for (const Case &c : cases)
        EXPECT_EQ(cookieFromHeaders(c.headers, c.name), c.expected) << c.headers;
}

TEST(SetCookieLines, KeepsOnlySetCookieLines)
{
    EXPECT_EQ(setCookieLines("Content-Type: text/plain\r\nSet-Cookie: a=1; path=/\r\nset-cookie: b=2\r\n"
                             "X-Set-Cookie: c=3\r\nSet-Cookie:d=4\r\n"),
        "Set-Cookie: a=1; path=/\r\nSet-Cookie:d=4\r\n");
    EXPECT_EQ(setCookieLines("Content-Type: text/plain\r\n"), "");
    EXPECT_EQ(setCookieLines(""), "");
}

} // namespace
} // namespace sorvane::web
