// What each kind of keyword does to the reader's state, the colour table
// included.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "rtf/RTF.h"
#include "rtf/RTF_reader.h"
#include "rtf/RTF_table.h"

namespace rtf {

std::int32_t Reader::ecTranslateWord(std::uint64_t key, std::int32_t param, bool fParam) {
    const WordSlot* slot = pWordSlot(key);
    if (slot == nullptr) return ecTranslateSymbol(-1, param, fParam);
    // The font table and the fallback of a "\u" take the general route.
    if ((slot->op & opStore) == 0 || rds != rdsNorm || cUnicodeSkip != 0)
        return ecTranslateSymbol(slot->isym, param, fParam);
    // "\f" also notes that the text names a font, without a branch of its own.
    fFontNamed |= slot->op & opNamesFont;
    fSkipDestIfUnk = false;
    // Every choice below is made with masks rather than branches: the keywords
    // of a styled text alternate unpredictably between flags, sizes and colours.
    const std::uint32_t useDflt = slot->dfltOnly | (static_cast<std::uint32_t>(fParam) - 1);
    const std::uint32_t given = static_cast<std::uint32_t>(param);
    const std::uint32_t val = given ^ ((given ^ slot->dflt) & useDflt);
    // An unknown colour number (negative ones included) gives the automatic colour.
    const std::uint32_t known = 0u - static_cast<std::uint32_t>(val < static_cast<std::uint32_t>(cColour));
    const std::uint32_t colour = static_cast<std::uint32_t>(rgColour[val & known]) & known;
    const std::uint32_t value = val ^ ((val ^ colour) & slot->colour);
    unsigned char* const field = rgpbRecord[slot->record] + slot->window;
    std::uint32_t bytes;
    std::memcpy(&bytes, field, sizeof bytes);
    bytes ^= ((value << slot->shift) ^ bytes) & slot->mask;
    std::memcpy(field, &bytes, sizeof bytes);
    return ecNoError;
}

std::int32_t Reader::ecTranslateKeyword(const char* szKeyword, std::int32_t param, bool fParam) {
    return ecTranslateSymbol(isymLookup(szKeyword, std::strlen(szKeyword)), param, fParam);
}

std::int32_t Reader::ecTranslateSymbol(std::int32_t isym, std::int32_t param, bool fParam) {
    if (cUnicodeSkip > 0) {
        // A control word or symbol is one unit of a "\u" fallback, dropped
        // whole; a hexadecimal escape is dropped once its digits are read.
        const bool fHexEscape =
            isym >= 0 && isym < isymMax && rgsymRtf[isym].kwd == kwdSpec && rgsymRtf[isym].idx == ipfnHex;
        if (!fHexEscape) {
            --cUnicodeSkip;
            fSkipDestIfUnk = false;
            return ecNoError;
        }
    }
    if (isym < 0 || isym >= isymMax) {
        if (fSkipDestIfUnk) rds = rdsSkip;  // an optional destination this reader does not know
        fSkipDestIfUnk = false;
        return ecNoError;
    }
    fSkipDestIfUnk = false;
    const symbol& sym = rgsymRtf[isym];
    switch (sym.kwd) {
        case kwdProp:
            if (sym.idx < 0 || sym.idx >= ipropMax) return ecBadTableEntry;
            return ecApplyPropChange(static_cast<IPROP>(sym.idx), sym.fPassDflt || !fParam ? sym.dflt : param);
        case kwdChar:
            if (rds == rdsSkip) return ecNoError;
            // Paragraph marks, tabs and escaped braces are the same byte in every code page.
            if (sym.idx < 0x80 && fTextPassesThrough()) {
                const char byte = static_cast<char>(sym.idx);
                return ecEmit(&byte, 1, false);
            }
            return ecDeliverUnicode(static_cast<std::uint32_t>(sym.idx));
        case kwdDest:
            if (sym.idx < 0 || sym.idx > idestFieldInst) return ecBadTableEntry;
            return ecChangeDest(static_cast<IDEST>(sym.idx));
        case kwdSpec:
            if (sym.idx < 0 || sym.idx > ipfnRow) return ecBadTableEntry;
            return ecParseSpecialKeyword(static_cast<IPFN>(sym.idx));
    }
    return ecBadTableEntry;
}

std::int32_t Reader::ecApplyPropChange(IPROP iprop, std::int32_t val) {
    if (rds == rdsSkip) return ecNoError;  // properties inside skipped destinations have no effect
    if (iprop >= ipropMax) return ecBadTableEntry;
    if (rds == rdsFontTbl) {
        // The font table describes fonts; it sets no property of the text.
        switch (iprop) {
            case ipropFontNumber:
                defineFont(val);
                break;
            case ipropFontCharset:
                setFontCharset(val);
                break;
            case ipropFontCodePage:
                setFontCodePage(val);
                break;
            default:
                break;
        }
        return ecNoError;
    }
    if (iprop == ipropFontNumber) fFontNamed = opNamesFont;
    const propmod& pm = rgprop[iprop];
    if (pm.actn == actnSpec) return ecParseSpecialProperty(iprop, val);

    if (pm.prop > propDop) return ecBadTableEntry;
    unsigned char* const record = rgpbRecord[pm.prop];
    const std::size_t cbRecord = cbRecordOf(pm.prop);
    if (pm.offset < 0) return ecBadTableEntry;
    const std::size_t offset = static_cast<std::size_t>(pm.offset);
    switch (pm.actn) {
        case actnByte: {
            if (offset + 1 > cbRecord) return ecBadTableEntry;
            // A flag with a parameter keeps its low byte: "\b2" counts as on, "\b256" as off.
            record[offset] = static_cast<unsigned char>(val & 0xFF);
            break;
        }
        case actnWord:
            if (offset + sizeof val > cbRecord) return ecBadTableEntry;
            std::memcpy(record + offset, &val, sizeof val);
            break;
        default:
            return ecBadTableEntry;
    }
    return ecNoError;
}

std::int32_t Reader::ecParseSpecialProperty(IPROP iprop, std::int32_t val) {
    switch (iprop) {
        case ipropNoSuperSub:
            chp.fSuperscript = 0;
            chp.fSubscript = 0;
            return ecNoError;
        case ipropColourIndex:
            // The callback sees the colour itself; an unknown number gives the automatic colour.
            chp.iColour = val >= 0 && val < cColour ? rgColour[val] : 0;
            return ecNoError;
        case ipropColourRed:
        case ipropColourGreen:
        case ipropColourBlue:
            if (ris != risColTab) return ecNoError;
            return ecParseColourComponent(iprop, val);
        case ipropPard:
            pap = para_prop{};
            return ecNoError;
        case ipropPlain:
            chp = char_prop{};
            fFontNamed = 0;  // back to the default font
            return ecNoError;
        case ipropSectd:
            sep = sect_prop{};
            return ecNoError;
        case ipropUnicode:
            return ecUnicodeEscape(val);
        case ipropUnicodeSkip:
            cbUnicodeFallback = val < 0 ? 0 : val;
            return ecNoError;
        case ipropAnsiCodePage:
            setDocumentCodePage(val, true);
            return ecNoError;
        case ipropCharacterSet:
            setDocumentCodePage(val, false);
            return ecNoError;
        case ipropDefaultFont:
            setDefaultFont(val);
            return ecNoError;
        case ipropNoteMark:
            if (rds != rdsNorm) return ecNoError;  // the mark inside a note's own text is not shown
            fNoteMarkPending = true;
            return ecNoteMarkPending;
        case ipropFootnoteFormat:
        case ipropEndnoteFormat:
            if (val < nfcArabic || val > nfcChicago) return ecNoError;
            (iprop == ipropFootnoteFormat ? nfcFootnote : nfcEndnote) = static_cast<NFC>(val);
            return ecNoError;
        case ipropFontCharset:
        case ipropFontCodePage:
            return ecNoError;  // meaningful in the font table only
        default:
            return ecBadTableEntry;
    }
}

std::int32_t Reader::ecChangeDest(IDEST idest) {
    if (rds == rdsSkip) return ecNoError;
    if (idest == idestColTab) {
        // With 100 entries finished, a further table is read as ordinary text.
        if (cColour < cColourMax) {
            rgColour[cColour] = 0;
            ris = risColTab;
        }
    } else if (idest == idestFontTbl) {
        rds = rdsFontTbl;  // until the group of the font table closes
    } else if (idest == idestUpr) {
        // Font names in the font table are read from both branches, as before.
        if (rds == rdsNorm) rds = rdsUpr;
    } else if (idest == idestUd) {
        // The Unicode branch of a "\upr" is the text; a font table reads the
        // ANSI branch's names, whose Unicode twins would not match them.
        if (rds == rdsUpr)
            rds = rdsNorm;
        else if (rds == rdsFontTbl)
            rds = rdsSkip;
    } else if (idest == idestFieldInst && rds == rdsNorm) {
        beginFieldInstruction();
    } else if (idest != idestKeep) {
        rds = rdsSkip;  // until the group that holds the destination closes
    }
    return ecNoError;
}

std::int32_t Reader::ecEndGroupAction(RDS rdsEnding) {
    return rdsEnding == rdsFieldInst ? ecEndFieldInstruction() : ecNoError;
}

std::int32_t Reader::ecParseSpecialKeyword(IPFN ipfn) {
    // In a skipped destination binary data must still be counted, so that its
    // bytes are skipped as a whole rather than read as text and keywords.
    if (rds == rdsSkip && ipfn != ipfnBin) return ecNoError;
    switch (ipfn) {
        case ipfnBin:
            ris = risBin;
            cbBin = lParam;
            return ecNoError;
        case ipfnHex:
            ris = risHex;
            return ecNoError;
        case ipfnSkipDest:
            fSkipDestIfUnk = true;
            return ecNoError;
        case ipfnCell:
            return ecEndCell();
        case ipfnRow:
            return ecEndRow();
    }
    return ecBadTableEntry;
}

std::int32_t Reader::ecParseColourComponent(IPROP iprop, std::int32_t param) {
    if (cColour >= cColourMax) return ecNoError;  // components of entries beyond the last are dropped
    if (param < 0 || param > 255) return ecBadColourComponent;
    std::uint32_t entry = static_cast<std::uint32_t>(rgColour[cColour]);
    const std::uint32_t component = static_cast<std::uint32_t>(param);
    switch (iprop) {
        case ipropColourRed:
            entry = (entry & ~0xFF0000u) | (component << 16);
            break;
        case ipropColourGreen:
            entry = (entry & ~0x00FF00u) | (component << 8);
            break;
        case ipropColourBlue:
            entry = (entry & ~0x0000FFu) | component;
            break;
        default:
            return ecBadColourComponent;
    }
    rgColour[cColour] = static_cast<std::int32_t>(entry);
    return ecNoError;
}

void Reader::endColourTrio() {
    if (cColour < cColourMax) ++cColour;
    if (cColour < cColourMax) rgColour[cColour] = 0;
}

}  // namespace rtf

const char* szEcName(std::int32_t ec) {
    static const char* const names[] = {
        "ecNoError",       "ecGroupUnderflow", "ecGroupAllocFailed",   "ecOpenGroupAtEnd",     "ecBadHexDigit",
        "ecBadTableEntry", "ecBadInputState",  "ecInputEndsInKeyword", "ecBadColourComponent",
    };
    if (ec < 0 || ec >= static_cast<std::int32_t>(sizeof names / sizeof names[0])) return nullptr;
    return names[ec];
}
