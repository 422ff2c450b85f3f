// SPDX-License-Identifier: GPL-2.0-or-later
// COM in the Linux layer: apartments, object creation, reference counts, system strings and the
// conversion to the ANSI code page.
#include "ComFakes.h"
#include "platform/ComApartment.h"
#include "platform/ImageMastering.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <thread>

using namespace win;
using platform::ComPtr;

namespace {

// Names BOOTMEDIA_CODEPAGE for the lifetime of the object.
class ScopedCodePage {
public:
    explicit ScopedCodePage(const char* name) { setenv("BOOTMEDIA_CODEPAGE", name, 1); }
    ~ScopedCodePage() { unsetenv("BOOTMEDIA_CODEPAGE"); }
};

std::string ToAnsi(const char16_t* text, BOOL* usedDefault = nullptr,
                   const char* defaultChar = nullptr) {
    char buffer[64] = {};
    const int size =
        WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof(buffer), defaultChar, usedDefault);
    EXPECT_GT(size, 0);
    return std::string(buffer);
}

} // namespace

// checks that entries into COM are counted per thread and that creation needs one.
TEST(ComApartment, EntriesAreCountedPerThread) {
    ComPtr<ICDBurn> burner;
    EXPECT_EQ(CoCreateInstance(CLSID_CDBurn, nullptr, CLSCTX_INPROC_SERVER, IID_ICDBurn,
                               burner.putVoid()),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(CoInitialize(reinterpret_cast<void*>(1)), E_INVALIDARG);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    std::thread([] {
        ComPtr<ICDBurn> other;
        EXPECT_EQ(CoCreateInstance(CLSID_CDBurn, nullptr, CLSCTX_INPROC_SERVER, IID_ICDBurn,
                                   other.putVoid()),
                  CO_E_NOTINITIALIZED);
    }).join();
    CoUninitialize();
    EXPECT_EQ(CoCreateInstance(CLSID_CDBurn, nullptr, CLSCTX_INPROC_SERVER, IID_ICDBurn,
                               burner.putVoid()),
              S_OK);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

// checks each refusal of CoCreateInstance with its exact result and a null output.
TEST(ComApartment, CreationFailures) {
    const platform::ComApartment apartment;
    fake::StandIn failing(CLSID_MSDiscMasterObj, E_OUTOFMEMORY);
    const CLSID unknown = {0x12345678, 0x1, 0x2, {0, 1, 2, 3, 4, 5, 6, 7}};
    auto outerObject = platform::layer::MakeComObject<fake::Burner>(fake::NewLog(), S_OK, TRUE);
    IUnknown* outer = outerObject.get();
    int sentinel = 0;
    struct Case {
        const char* name;
        const CLSID& clsid;
        IUnknown* outer;
        DWORD context;
        const IID& iid;
        HRESULT expected;
    };
    const Case cases[] = {
        {"aggregation", CLSID_CDBurn, outer, CLSCTX_INPROC_SERVER, IID_ICDBurn,
         CLASS_E_NOAGGREGATION},
        {"unknown class", unknown, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
         REGDB_E_CLASSNOTREG},
        {"remote context", CLSID_CDBurn, nullptr, 0x10, IID_ICDBurn, REGDB_E_CLASSNOTREG},
        {"wrong interface", CLSID_CDBurn, nullptr, CLSCTX_LOCAL_SERVER, IID_IDiscMaster,
         E_NOINTERFACE},
        {"stand-in fails", CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER, IID_IDiscMaster,
         E_OUTOFMEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        void* object = &sentinel;
        EXPECT_EQ(CoCreateInstance(c.clsid, c.outer, c.context, c.iid, &object), c.expected);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(CoCreateInstance(CLSID_CDBurn, nullptr, CLSCTX_INPROC_SERVER, IID_ICDBurn, nullptr),
              E_POINTER);
}

// checks that references are counted through QueryInterface, share and the last release.
TEST(ComObject, ReferencesAreCounted) {
    const fake::Log log = fake::NewLog();
    auto burner = platform::layer::MakeComObject<fake::Burner>(log, S_OK, TRUE);
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(burner->QueryInterface(IID_IUnknown, unknown.putVoid()), S_OK);
    ComPtr<IUnknown> second = unknown.share();
    EXPECT_EQ(burner->AddRef(), 4u);
    EXPECT_EQ(burner->Release(), 3u);
    EXPECT_EQ(burner->QueryInterface(IID_ICDBurn, nullptr), E_POINTER);
    burner.reset();
    unknown.reset();
    EXPECT_TRUE(log->empty());
    second.reset();
    EXPECT_EQ(*log, std::vector<std::string>{"burner.released"});
}

// checks that system strings keep their length, accept null and copy nothing for no text.
TEST(SystemString, LengthAndNull) {
    BSTR text = SysAllocString(u"\\Device\\CdRom0");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 14u);
    EXPECT_EQ(text[14], 0);
    SysFreeString(text);
    BSTR zeroed = SysAllocStringLen(nullptr, 3);
    ASSERT_NE(zeroed, nullptr);
    EXPECT_EQ(SysStringLen(zeroed), 3u);
    EXPECT_EQ(std::u16string(zeroed, 3), std::u16string(3, u'\0'));
    SysFreeString(zeroed);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

// checks the conversion to Windows-1252 (the controls standing for its five undefined bytes
// going back to them, as on Windows) and to a code page the environment names, with characters
// the code page lacks replaced and reported.
TEST(WideCharToMultiByte, ConvertsToAnsiCodePage) {
    BOOL usedDefault = TRUE;
    EXPECT_EQ(ToAnsi(u"Caf\u00E9 \u20AC", &usedDefault), "Caf\xE9 \x80");
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(ToAnsi(u"\u0081\u008D\u008F\u0090\u009D", &usedDefault), "\x81\x8D\x8F\x90\x9D");
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(ToAnsi(u"a\u4E2Db\U0001F600c", &usedDefault), "a?b?c");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(ToAnsi(u"x\xD800y", &usedDefault, "#"), "x#y");
    {
        ScopedCodePage cyrillic("1251");
        EXPECT_EQ(ToAnsi(u"\u0416\u00E9\u0098"), "\xC6??");
    }
    ScopedCodePage unknown("no-such-code-page");
    EXPECT_EQ(ToAnsi(u"\u00E9"), "\xE9");
}

// checks the size query, the exact counts with and without the terminator, and each refusal
// with its last error.
TEST(WideCharToMultiByte, SizesAndRefusals) {
    const char16_t* text = u"\\Device\\CdRom0";
    EXPECT_EQ(WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr), 15);
    char buffer[15] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, 3, buffer, 3, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(buffer, 3), "\\De");
    struct Case {
        const char* name;
        UINT codePage;
        DWORD flags;
        const char16_t* wide;
        int wideCount;
        int size;
        DWORD error;
    };
    const Case cases[] = {
        {"small buffer", CP_ACP, 0, text, -1, 14, ERROR_INSUFFICIENT_BUFFER},
        {"UTF-8", 65001, 0, text, -1, 15, ERROR_INVALID_PARAMETER},
        {"flags", CP_ACP, 0x400, text, -1, 15, ERROR_INVALID_FLAGS},
        {"no text", CP_ACP, 0, nullptr, -1, 15, ERROR_INVALID_PARAMETER},
        {"empty count", CP_ACP, 0, text, 0, 15, ERROR_INVALID_PARAMETER},
        {"negative count", CP_ACP, 0, text, -2, 15, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.wide, c.wideCount, buffer, c.size,
                                      nullptr, nullptr),
                  0);
        EXPECT_EQ(GetLastError(), c.error);
    }
}
