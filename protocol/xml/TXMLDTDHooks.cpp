#include "protocol/xml/TXMLDTDHooks.h"

namespace {
TXMLDTDHooks* g_hooks = nullptr;
}

TXMLDTDHooks::~TXMLDTDHooks()
{
    if (g_hooks == this) g_hooks = nullptr;
}

TXMLDTDHooks* TXMLDTDHooks::Current() { return g_hooks; }

void TXMLDTDHooks::Install(TXMLDTDHooks* hooks) { g_hooks = hooks; }
