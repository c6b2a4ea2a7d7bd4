#include "protocol/TSearchRec.h"

bool TSearchRec::SameValues(const TSearchRec& o) const
{
    return apn == o.apn && mls == o.mls && first == o.first && last == o.last && stnum == o.stnum &&
        stname == o.stname && stdir == o.stdir && stsuffix == o.stsuffix && stunit == o.stunit && city == o.city &&
        state == o.state && zip == o.zip;
}

bool TSearchRec::IsEmpty() const
{
    return apn.isEmpty() && mls.isEmpty() && first.isEmpty() && last.isEmpty() && stnum.isEmpty() && stname.isEmpty() &&
        stdir.isEmpty() && stsuffix.isEmpty() && stunit.isEmpty() && city.isEmpty() && state.isEmpty() && zip.isEmpty();
}

void TSearchRec::Clear() { *this = TSearchRec(); }
