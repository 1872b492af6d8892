// SPDX-License-Identifier: GPL-3.0-or-later
// The preview's own script: the contents sidebar, and the dictionary search that finds what `kovadump --lookup`
// finds, from data files that kovadump wrote beside the pages (loaded with <script src>, which works from
// file://). Hand-written, without dependencies.
(function () {
  'use strict';

  const root = document.documentElement.dataset.root || '';
  const store = (window.QuillpressPreviewData = window.QuillpressPreviewData || {});
  const contents = store.contents || null;

  function make(name, className, text) {
    const node = document.createElement(name);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  function link(label, href, className) {
    if (href === null || href === undefined) return make('span', className, label);
    const a = make('a', className, label);
    a.href = root + href;
    return a;
  }

  // The sidebar: start reading, the guide, and the table of contents nested by level.
  function buildSidebar() {
    const nav = document.getElementById('contents');
    if (!nav || !contents) return;
    if (contents.start) nav.appendChild(link('Start reading', contents.start, 'start-link'));
    if (contents.guide.length) {
      nav.appendChild(make('h2', '', 'Guide'));
      const list = nav.appendChild(make('ul', 'guide'));
      for (const reference of contents.guide) {
        const item = list.appendChild(make('li', 'guide-entry'));
        item.appendChild(link(reference.title || reference.type, reference.href));
      }
    }
    nav.appendChild(make('h2', '', 'Contents'));
    if (!contents.toc) {
      nav.appendChild(make('p', 'none', 'The book has no table of contents.'));
      return;
    }
    const lists = [nav.appendChild(make('ul', 'toc'))];
    const items = [];
    for (const [level, label, href, start] of contents.toc) {
      while (lists.length > level + 1) lists.pop();
      while (lists.length < level + 1) {
        const parent = items[lists.length - 1] || lists[lists.length - 1].appendChild(make('li'));
        lists.push(parent.appendChild(make('ul')));
      }
      const item = lists[level].appendChild(make('li', 'toc-entry' + (start ? ' start' : '')));
      item.appendChild(link(label, href));
      if (start) item.title = 'The start reading position is in this entry';
      items[level] = item;
      items.length = level + 1;
    }
    const here = location.pathname;
    for (const a of nav.querySelectorAll('a[href]')) {
      if (a.pathname === here) a.classList.add('in-this-part');
    }
  }

  // Data files, each loaded once.
  const loading = new Map();
  function load(name) {
    if (store[name]) return Promise.resolve(store[name]);
    if (!loading.has(name)) {
      loading.set(name, new Promise(function (resolve, reject) {
        const script = document.createElement('script');
        script.src = root + 'data/' + name + '.js';
        script.onload = function () {
          if (store[name]) resolve(store[name]);
          else reject(new Error(name + '.js holds no data'));
        };
        script.onerror = function () { reject(new Error('cannot load data/' + name + '.js')); };
        document.head.appendChild(script);
      }));
    }
    return loading.get(name);
  }

  function chunkName(kind, n) { return kind + '-' + String(n).padStart(4, '0'); }

  // Characters 0x80 to 0x9F of Windows-1252; 0 where the byte is unassigned.
  const HIGH_1252 = [0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161,
    0x203A, 0x0153, 0, 0x017E, 0x0178];

  function byteOf1252(c) {
    if (c > 0xFF || (c >= 0x80 && c <= 0x9F && HIGH_1252[c - 0x80] !== 0)) {
      const i = HIGH_1252.indexOf(c);
      return i >= 0 ? 0x80 + i : null;
    }
    return c;
  }

  function bytes1252(word) {
    const bytes = [];
    for (const ch of word) {
      const b = byteOf1252(ch.codePointAt(0));
      if (b === null) return null;
      bytes.push(b);
    }
    return bytes;
  }

  function firstPositions(table) {
    const positions = new Map();
    table.forEach(function (value, i) { if (!positions.has(value)) positions.set(value, i); });
    return positions;
  }

  // The word in the index's key form: bytes of its code page, or positions in its character table (a
  // character missing there takes the position whose fold it is). Null when a character has no place.
  function keyUnits(index, word) {
    if (index.form === 'bytes') {
      if (index.codePage === 65001) return Array.from(new TextEncoder().encode(word));
      return bytes1252(word);
    }
    index.characterPositions = index.characterPositions || firstPositions(index.characters);
    index.foldPositions = index.foldPositions || firstPositions(index.folds);
    const units = [];
    for (const ch of word) {
      const c = ch.codePointAt(0);
      let position = index.characterPositions.get(c);
      if (position === undefined && c !== 0) position = index.foldPositions.get(c);
      if (position === undefined) return null;
      units.push(position);
    }
    return units;
  }

  // The sort values the index compares keys by, as a string of code units behind a one-letter prefix.
  function searchKey(prefix, index, units) {
    const values = [];
    const add = function (v) { if (v !== 0) values.push(v); };
    for (const unit of units) {
      if (index.kind === 'unicode') {
        add(unit < index.folds.length ? index.folds[unit] : 0);
      } else if (index.kind === 'western') {
        const ligature = index.ligatures.find(function (l) { return l[0] === unit; });
        if (ligature) {
          add(index.sortValues[ligature[1]]);
          add(index.sortValues[ligature[2]]);
        } else {
          add(index.sortValues[unit & 0xFF]);
        }
      } else {
        values.push(unit);
      }
    }
    let key = prefix;
    for (const v of values) key += String.fromCharCode(v);
    return key;
  }

  function decodeTable(text) {
    return Uint8Array.from(atob(text), function (c) { return c.charCodeAt(0); });
  }

  // The phonetic form of Windows-1252 bytes from the six spell tables: SPL1 normalises, SPL2 gives the letter
  // classes, SPL3 holds the rules, SPL4 sounds a letter no rule matches, SPL5 gives the class each code is
  // written as, SPL6 points at the first rule of each letter. A rule is a total length digit and four fields,
  // each a length digit and bytes: left context, matched letters, right context, replacement.
  function phoneticForm(t, word) {
    const at = function (table, i) { return i >= 0 && i < table.length ? table[i] : 0; };
    const isLetter = function (b) { return at(t[1], b) !== 0; };
    const letters = [];
    for (const b of word) {
      const v = at(t[0], b);
      if (v !== 0) {
        if (isLetter(v)) letters.push(v);
      } else if (isLetter(b)) {
        letters.push(b);
      }
    }
    const rules = t[2];
    const digitAt = function (i) { return i < rules.length && rules[i] >= 48 && rules[i] <= 57 ? rules[i] - 48 : -1; };
    function ruleAt(position) {
      const total = digitAt(position++);
      if (total < 0) return null;
      const fields = [];
      let sum = 0;
      for (let f = 0; f < 4; f++) {
        const length = digitAt(position++);
        if (length < 0 || position + length > rules.length) return null;
        fields.push(rules.subarray(position, position + length));
        position += length;
        sum += length;
      }
      if (sum !== total) return null;
      for (const field of fields) {
        for (const b of field) if (b >= 49 && b <= 56) return null;
      }
      const matched = fields[1];
      if (matched.length === 0 || (matched[0] >= 65 && matched[0] <= 90) || matched[0] === 36) return null;
      return { left: fields[0], matched: matched, right: fields[2], replacement: fields[3], next: position };
    }
    const n = letters.length;
    function fits(want, position) {
      if (position === -1 || position === n) return want === 36;
      if (position < -1 || position > n || want === 36) return false;
      const letter = letters[position];
      if (want === 65 || want === 67) return at(t[1], letter) === want;
      return letter === want;
    }
    function applies(rule, i) {
      const m = rule.matched;
      if (m.length > n - i) return false;
      for (let k = 0; k < m.length; k++) if (letters[i + k] !== m[k]) return false;
      for (let k = 0; k < rule.left.length; k++) if (!fits(rule.left[k], i - rule.left.length + k)) return false;
      for (let k = 0; k < rule.right.length; k++) if (!fits(rule.right[k], i + m.length + k)) return false;
      return true;
    }
    function ruleFor(i) {
      const c = letters[i];
      if (2 * c + 2 > t[5].length) return null;
      let position = t[5][2 * c] << 8 | t[5][2 * c + 1];
      if (position === 0xFFFF) return null;
      while (position < rules.length) {
        const rule = ruleAt(position);
        if (!rule || rule.matched[0] !== c) return null;
        if (applies(rule, i)) return rule;
        position = rule.next;
      }
      return null;
    }
    const form = [];
    let last = 0;
    function write(codes) {
      let wrote = false;
      for (const code of codes) {
        const cls = at(t[4], code);
        if (cls === 0) continue;
        wrote = true;
        if (cls !== last) form.push(cls);
        last = cls;
      }
      if (!wrote) last = 0;
    }
    for (let i = 0; i < n;) {
      const rule = ruleFor(i);
      if (rule) {
        write(rule.replacement);
        i += rule.matched.length;
      } else {
        const sound = at(t[3], letters[i]);
        write(sound !== 0 ? [sound] : []);
        i += 1;
      }
    }
    return form.slice(0, 255);
  }

  function chunkOf(chunks, key) {
    let low = 0;
    let high = chunks.length - 1;
    while (low < high) {
      const middle = (low + high + 1) >> 1;
      if (chunks[middle] <= key) low = middle;
      else high = middle - 1;
    }
    return low;
  }

  async function matchesOf(search, key) {
    const pairs = await load(chunkName('keys', chunkOf(search.chunks, key)));
    let low = 0;
    let high = pairs.length - 1;
    while (low <= high) {
      const middle = (low + high) >> 1;
      if (pairs[middle][0] === key) return pairs[middle][1];
      if (pairs[middle][0] < key) low = middle + 1;
      else high = middle - 1;
    }
    return [];
  }

  // Looks a word up as `kovadump --lookup` does: as a headword, as an inflected form, then by its phonetic form;
  // each entry once, with the first way that found it.
  async function lookUp(word) {
    const search = await load('search');
    const keys = [];
    const units = keyUnits(search.lookup, word);
    if (units !== null && word !== '') keys.push(searchKey('L', search.lookup, units));
    if (search.spell) {
      search.spell.decoded = search.spell.decoded || search.spell.tables.map(decodeTable);
      const bytes = bytes1252(word);
      const form = bytes === null ? [] : phoneticForm(search.spell.decoded, bytes);
      if (form.length) keys.push(searchKey('S', search.spell.index, form));
    }
    const found = [];
    const seen = new Set();
    for (const list of await Promise.all(keys.map(function (key) { return matchesOf(search, key); }))) {
      for (const m of list) {
        if (seen.has(m[0])) continue;
        seen.add(m[0]);
        found.push({ rank: m[0], way: ['headword', 'inflection', 'spelling'][m[1]], group: m[2], rule: m[3] });
      }
    }
    await Promise.all(found.map(async function (match) {
      const entries = await load(chunkName('entries', Math.floor(match.rank / search.entriesPerChunk)));
      const entry = entries[match.rank % search.entriesPerChunk];
      match.headword = entry[0];
      match.texts = entry[1].map(function (t) { return { href: t[0], excerpt: t[1] }; });
    }));
    return found;
  }

  function wayText(match) {
    if (match.way !== 'inflection') return match.way;
    return match.rule >= 0 ? 'inflection: rule ' + match.rule + ' of group ' + match.group
      : 'inflection: old-style group ' + match.group;
  }

  let latest = 0;
  async function show(word) {
    const panel = document.getElementById('results');
    const ticket = ++latest;
    if (word === '') {
      panel.hidden = true;
      return [];
    }
    let matches;
    try {
      matches = await lookUp(word);
    } catch (error) {
      matches = null;
      panel.replaceChildren(make('p', 'error', String(error.message || error)));
    }
    if (ticket !== latest) return matches;
    panel.hidden = false;
    panel.dataset.query = word;
    if (matches === null) return matches;
    const summary = '\u201c' + word + '\u201d: ' + (matches.length === 0 ? 'not found'
      : matches.length + (matches.length === 1 ? ' entry' : ' entries'));
    const list = make('ol', 'matches');
    for (const match of matches) {
      const item = list.appendChild(make('li', 'match'));
      item.dataset.way = match.way;
      item.appendChild(make('span', 'headword', match.headword));
      item.appendChild(make('span', 'way', wayText(match)));
      for (const text of match.texts) {
        // The entry's page opens with the same search shown, and the entry marked as the target.
        const entry = item.appendChild(make('p', 'excerpt')).appendChild(make('a', 'entry-link', text.excerpt));
        entry.href = root + text.href.replace('#', '?q=' + encodeURIComponent(word) + '#');
      }
    }
    panel.replaceChildren(make('p', 'summary', summary), list);
    return matches;
  }

  function setUpSearch() {
    const form = document.getElementById('search');
    if (!form || !contents || !contents.search) return;
    const input = document.getElementById('query');
    input.addEventListener('input', function () { show(input.value.trim()); });
    form.addEventListener('submit', async function (event) {
      event.preventDefault();
      const matches = await show(input.value.trim());
      const first = document.querySelector('#results a.entry-link');
      if (matches && matches.length && first) location.href = first.href;
    });
    const query = new URLSearchParams(location.search).get('q');
    if (query) {
      input.value = query;
      show(query);
    }
  }

  window.QuillpressPreview = { lookUp: lookUp, show: show };
  buildSidebar();
  setUpSearch();
})();
