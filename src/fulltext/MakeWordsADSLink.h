#pragma once
// TrbMakeWordsADSLink: the words link of the build engine. Unlike the update
// and search links, whose column sizes come from the table they open, its
// sizes are settable: the build creates the words table with them.

#include "fulltext/WordsADSLink.h"

class TrbMakeWordsADSLink : public TrbWordsADSLink {
public:
    explicit TrbMakeWordsADSLink(TAdsTable& table) : TrbWordsADSLink(table) {}

protected:
    bool SizesWritable() const override { return true; }
};
