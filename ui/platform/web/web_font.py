#!/usr/bin/env python3
"""The page's font: Liberation Sans cut to the characters of Latin-1, as WOFF2.

    web_font.py LiberationSans-Regular.ttf kestravin-sans.woff2

A cut font is a modified version under the SIL Open Font License, which may not bear the
reserved name "Liberation": it is named Kestravin Sans. Needs Debian's python3-fonttools and
python3-brotli.
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont


def main(source, target):
    font = TTFont(source)
    options = subset.Options()
    options.flavor = 'woff2'
    options.layout_features = []  # the page draws its texts without kerning, as the desktop
    options.name_IDs = ['*']
    options.name_languages = ['*']
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=list(range(0x20, 0x7F)) + list(range(0xA0, 0x100)))
    subsetter.subset(font)
    for record in font['name'].names:
        # The family's names, not its copyright or licence.
        if record.nameID in (1, 3, 4, 6, 16, 18, 21):
            text = record.toUnicode()
            text = text.replace('Liberation Sans', 'Kestravin Sans')
            text = text.replace('LiberationSans', 'KestravinSans')
            record.string = text
    font.flavor = 'woff2'
    font.save(target)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit('usage: web_font.py SOURCE.ttf TARGET.woff2')
    main(sys.argv[1], sys.argv[2])
