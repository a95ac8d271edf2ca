#pragma once

#include <juce_core/juce_core.h>

/*  The framework's XML parser, juce::ValueTree::fromXml and the destructors of both recurse once per
    nesting level, and the parser expands entities declared in a document type recursively, so a crafted
    text can exhaust the stack. This accepts a text only if it is plain, well-formed XML as the parser
    reads it (no document type, only the predefined and numeric character references, quoted attribute
    values, no space after '<') whose elements nest no more than maxDepth deep, the root counting as one.
*/
bool isShallowPlainXml (const juce::String& text, int maxDepth);
