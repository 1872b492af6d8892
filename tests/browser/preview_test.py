#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Browser test of `kovadump BOOK --html DIR`: builds a book, writes its preview and opens every page of it in
Debian's headless Chromium, where checks run inside the page and report back.

Usage: preview_test.py sample|huffman|dictionary QUILLPRESS KOVADUMP WRITE_WORDNET_DICTIONARY SAMPLE_DIR

  sample      the bundled sample book, as it is
  huffman     the sample with a long log book chapter, a picture in the text and a nested table of contents
              (NCX), built with -c2: several files, links between them
  dictionary  WordNet nouns with inflected forms and a spell index; its search must find what
              `kovadump --lookup` finds, and "teeth" must open the entry of "Tooth"

On every page: each link lands on an element that exists (or a file of the preview), each picture has a
natural width above 0, the contents sidebar has as many entries as the book's table of contents, and nothing
is requested from outside the preview's folder.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from headless_chromium import HeadlessChromium  # noqa: E402

PAGE_REPORT = """(() => ({
  url: location.href.split('#')[0].split('?')[0],
  ids: Array.from(document.querySelectorAll('[id]'), e => e.id),
  links: Array.from(document.querySelectorAll('a[href]'), a => a.href),
  images: Array.from(document.images, i => [i.src, i.naturalWidth]),
  tocEntries: document.querySelectorAll('#contents .toc-entry').length,
  startEntries: document.querySelectorAll('#contents .toc-entry.start').length,
  pages: document.querySelectorAll('main section.page').length,
  startMarks: document.querySelectorAll('main .start-reading').length,
  missingImages: document.querySelectorAll('.missing-image').length,
}))()"""

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message)


def run(command, cwd=None):
    result = subprocess.run(command, cwd=cwd, capture_output=True, text=True)
    if result.returncode >= 2:
        sys.exit("%s exited %d:\n%s%s" % (" ".join(command), result.returncode, result.stdout[-2000:],
                                          result.stderr[-2000:]))
    return result


def prose_chapter(parts):
    """A long chapter of log entries in parts with ids, a picture, and links back and forward."""
    words = ["lamp", "tide", "gull", "rope", "wind", "keeper", "harbour", "storm", "glass", "stair", "light", "oil",
             "boat", "north", "signal", "wick"]
    body = ['<h1 id="log">The log book</h1>', '<p><img src="images/cover.png" alt="the light"/></p>']
    for part in range(1, parts + 1):
        body.append('<h2 id="part-%d" style="page-break-before: always">Part %d</h2>' % (part, part))
        for paragraph in range(140):
            sentence = " ".join(words[(part * 7 + paragraph * 3 + w * w) % len(words)] for w in range(40))
            body.append("<p>%s.</p>" % sentence.capitalize())
        body.append('<h3 id="part-%d-notes">Notes to part %d</h3>' % (part, part))
        body.append('<p>Back to <a href="chapter1.html#start">the first storm</a>, on to <a href="#part-%d">the next '
                    'part</a>, or to the <a href="prose.html#log">log</a>.</p>' % (part % parts + 1))
    return ("<html><head><title>Log</title></head><body>%s</body></html>\n" % "\n".join(body))


def table_of_contents(parts):
    def point(label, src, children=""):
        return '<navPoint><navLabel><text>%s</text></navLabel><content src="%s"/>%s</navPoint>' % (label, src, children)
    chapters = "".join(point(label, src) for label, src in (
        ("Contents", "contents.html"), ("1. The First Storm", "chapter1.html#start"),
        ("2. Visitors from the Mainland", "chapter2.html"), ("3. Une lettre de Brest", "chapter3.html")))
    parts_points = "".join(point("Part %d" % p, "prose.html#part-%d" % p,
                                 point("Notes to part %d" % p, "prose.html#part-%d-notes" % p))
                           for p in range(1, parts + 1))
    return ('<?xml version="1.0" encoding="utf-8"?>\n<ncx xmlns="http://www.daisy.org/z3986/2005/ncx/" '
            'version="2005-1"><docTitle><text>Log</text></docTitle><navMap>%s%s</navMap></ncx>\n'
            % (chapters, point("The log book", "prose.html#log", parts_points)))


def build_sample(work, tools):
    shutil.copytree(tools["sample"], os.path.join(work, "book"))
    run([tools["quillpress"], "lighthouse.opf"], cwd=os.path.join(work, "book"))
    return os.path.join(work, "book", "lighthouse.kova")


def build_huffman(work, tools):
    folder = os.path.join(work, "book")
    shutil.copytree(tools["sample"], folder)
    parts = 6
    with open(os.path.join(folder, "prose.html"), "w") as page:
        page.write(prose_chapter(parts))
    with open(os.path.join(folder, "toc.ncx"), "w") as ncx:
        ncx.write(table_of_contents(parts))
    with open(os.path.join(folder, "lighthouse.opf")) as source:
        package = source.read()
    package = package.replace('</manifest>', '<item id="prose" href="prose.html" media-type="text/x-oeb1-document"/>'
                              '<item id="ncx" href="toc.ncx" media-type="application/x-dtbncx+xml"/></manifest>')
    package = package.replace('</spine>', '<itemref idref="prose"/></spine>')
    with open(os.path.join(folder, "log.opf"), "w") as target:
        target.write(package)
    run([tools["quillpress"], "log.opf", "-c2"], cwd=folder)
    return os.path.join(folder, "log.kova")


def build_dictionary(work, tools):
    folder = os.path.join(work, "book")
    run([tools["dictionary"], folder, "3000"])
    run([tools["quillpress"], "d.opf"], cwd=folder)
    return os.path.join(folder, "d.kova")


def toc_entries(kovadump, book):
    result = subprocess.run([kovadump, book, "--toc"], capture_output=True, text=True)
    return len(result.stdout.splitlines()) if result.returncode == 0 else 0


def has_start_reading(kovadump, book):
    listing = subprocess.run([kovadump, book], capture_output=True, text=True).stdout
    return re.search(r"^  116 Start reading: ", listing, re.M) is not None


def check_pages(browser, preview, expected_toc):
    """Opens every page; returns the reports by URL."""
    files = ["index.html"] + sorted("text/" + name for name in os.listdir(os.path.join(preview, "text")))
    reports = {}
    for name in files:
        browser.open("file://" + os.path.join(preview, name))
        report = browser.evaluate(PAGE_REPORT)
        reports[report["url"]] = report
        check(report["tocEntries"] == expected_toc, "%s: the sidebar has %d entries, the book's table of contents %d"
              % (name, report["tocEntries"], expected_toc))
        for src, width in report["images"]:
            check(width > 0, "%s: the picture %s has no width" % (name, src))
        check(report["missingImages"] == 0, "%s: %d pictures are missing" % (name, report["missingImages"]))
    for url in browser.requested_urls():
        check(url.startswith("file://" + preview + "/"), "a page asked for %s, outside the preview" % url)
    for report in reports.values():
        for link in report["links"]:
            address, _, fragment = link.partition("#")
            address = address.split("?")[0]
            path = urllib.parse.unquote(address[len("file://"):]) if address.startswith("file://") else None
            check(path is not None and path.startswith(preview + "/") and os.path.isfile(path),
                  "%s links to %s, which is not a file of the preview" % (report["url"], link))
            if fragment and address in reports:
                check(fragment in reports[address]["ids"],
                      "%s links to #%s, which %s does not have" % (report["url"], fragment, address))
    return reports


def lookup_by_kovadump(kovadump, book, word):
    """(rank, way) of each entry `kovadump --lookup` prints."""
    output = subprocess.run([kovadump, book, "--lookup", word], capture_output=True, text=True).stdout
    return [(int(rank), way) for rank, way in re.findall(r'^  entry (\d+) ".*" \((\w+)', output, re.M)]


def check_search(browser, preview, kovadump, book):
    browser.open("file://" + os.path.join(preview, "text", "part0001.html"))
    words = ["teeth", "Teeth", "tooth", "mice", "geese", "children", "oxen", "feet", "men", "tuth", "teath", "chyld",
             "mouses", "gooses", "abacus", "abacuses", "zzzzq", "caf\u00e9"]
    for word in words:
        page = browser.evaluate("QuillpressPreview.lookUp(%s).then(ms => ms.map(m => [m.rank, m.way]))"
                                % json.dumps(word))
        expected = lookup_by_kovadump(kovadump, book, word)
        check([tuple(m) for m in page] == expected, "searching %r finds %s in the page, %s with kovadump --lookup"
              % (word, page, expected))
    # As a reader would: type the word, press Enter, and the entry of its headword opens, marked.
    browser.evaluate("""(() => { const q = document.getElementById('query'); q.value = 'teeth';
        document.getElementById('search').requestSubmit(); })()""")
    browser.wait_for("Page.loadEventFired")
    shown = browser.evaluate("""new Promise(resolve => { const wait = () => {
        const results = document.getElementById('results');
        if (results.hidden || results.dataset.query !== 'teeth') return setTimeout(wait, 20);
        const target = document.getElementById(location.hash.slice(1));
        resolve({ results: results.textContent, target: target ? target.textContent : null,
                  marked: target ? getComputedStyle(target).outlineStyle : null });
      }; wait(); })""")
    check(shown["target"] is not None and shown["target"].startswith("Tooth"),
          "Enter on \"teeth\" opened %r, not the entry of Tooth" % (shown["target"] or "")[:80])
    check(shown["marked"] == "solid", "the entry opened is not marked")
    check("Tooth" in shown["results"] or "tooth" in shown["results"],
          "the results of \"teeth\" do not show Tooth: %r" % shown["results"][:200])
    check("inflection" in shown["results"], "the results of \"teeth\" do not say it matched as an inflection")


def main():
    if len(sys.argv) != 6 or sys.argv[1] not in ("sample", "huffman", "dictionary"):
        sys.exit(__doc__)
    kind = sys.argv[1]
    tools = dict(zip(("quillpress", "kovadump", "dictionary", "sample"), sys.argv[2:]))
    with tempfile.TemporaryDirectory() as work:
        book = {"sample": build_sample, "huffman": build_huffman, "dictionary": build_dictionary}[kind](work, tools)
        preview = os.path.join(work, "preview")
        written = run([tools["kovadump"], book, "--html", preview])
        check(written.returncode == 0, "kovadump --html exited %d: %s" % (written.returncode, written.stderr))
        check(written.stdout.strip() == os.path.join(preview, "index.html"), "kovadump --html printed %r"
              % written.stdout)
        expected_toc = toc_entries(tools["kovadump"], book)
        with HeadlessChromium() as browser:
            reports = check_pages(browser, preview, expected_toc)
            pages = sum(report["pages"] for report in reports.values())
            marks = sum(report["startMarks"] for report in reports.values())
            starts = 1 if has_start_reading(tools["kovadump"], book) else 0
            check(marks == starts, "the start reading position is marked %d times, not %d" % (marks, starts))
            if kind == "sample":
                check(pages == 5, "the sample shows %d sheets, not its title panel and 4 pages" % pages)
            if kind == "huffman":
                check(expected_toc == 17, "the -c2 book has %d table of contents entries, not 17" % expected_toc)
                check(len(reports) >= 3, "the -c2 book's preview has %d files, not several" % len(reports))
                check(any(r["startEntries"] == 1 for r in reports.values()),
                      "the sidebar does not mark the entry that holds the start reading position")
            if kind == "dictionary":
                check_search(browser, preview, tools["kovadump"], book)
        print("%s: %d files, %d sheets, %d table of contents entries" % (kind, len(reports), pages, expected_toc))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
