#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/*  The framework's XML parser, juce::ValueTree::fromXml and the destructors of both recurse once per
    nesting level, and the parser expands entities declared in a document type recursively, so a crafted
    text can exhaust the stack. This accepts a text only if it is plain, well-formed XML as the parser
    reads it (strict UTF-8, no document type, only the predefined references and numeric ones to Unicode
    scalar values, quoted attribute values, no space after '<') whose elements nest no more than maxDepth
    deep, the root counting as one.
*/
bool isShallowPlainXml (const juce::String& text, int maxDepth);

/*  juce::ValueTree::fromXml allocates, for every attribute whose name begins "base64:", the byte count
    written before the first '.' of its value, unchecked. This accepts an element only if no such count
    in it or below it is negative or larger than the text it comes with.
*/
bool hasOnlyFittingBase64Sizes (const juce::XmlElement& element);

/*  Refuses a tree that the framework would apply in a way that the next save would not keep, or could
    not read safely: a parameter value that is not a number passes its snapping and clamping unchanged,
    an exponent of ten or more digits overflows the framework's text-to-number conversion, and of two
    properties of one name (an attribute given twice, or also in its "base64:" form) the first binds
    and sets the parameter while writing the tree back keeps only the last.
*/
bool isUsableState (const juce::ValueTree& state, const juce::AudioProcessorValueTreeState& apvts);
