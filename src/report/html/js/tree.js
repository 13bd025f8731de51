// The treemaps' hierarchy: a memory (program memory or RAM), its areas, the groups of each
// area (searches, object files or archives), and the entries. Groups are made in one pass over
// the entries, which keeps the largest entries of each; an entry becomes a node only when it is
// drawn, so a map of a million entries costs little more than one number per entry.

const groupingTitles = { search: "search", object: "object file", archive: "archive" };
const noGroupNames = {
    search: "(no search)",
    object: "(no object file)",
    archive: "(no archive)",
};
// Program entries that a search matched after their name had been credited: their bytes are
// counted once, in the area, but in no search.
const ambiguousGroupName = "(ambiguous: matched again, not credited)";

// How many of a container's largest entries are kept at hand for drawing; past them, the
// entries are sorted when someone looks.
const treemapMembers = 60;

let nextNodeId = 1;

function makeNode(kind, name, parent) {
    return {
        id: nextNodeId++,
        kind: kind, // "memory", "area", "group", "entry", "other" or "free"
        name: name,
        parent: parent,
        bytes: 0, // what the tile stands for; an area's includes its free bytes
        entryCount: 0,
        children: null, // member nodes, for a memory and a grouped area
        holder: -1, // for a group or an ungrouped area: its number in the trees' `holderOf`
        items: null, // its entries' positions, once someone looks past the largest
        top: null, // its largest entries
        sorted: false, // the children are in order, largest first
        free: null, // an area's free bytes, as a node of their own
        entry: -1, // an entry node's position in the report's entries
        source: null, // the node whose members an "other" node folds, from position `from`
        from: 0,
        memberCount: 0,
        change: null, // with a diff: the change in bytes against the base
        colour: -1,
    };
}

// Bit variables count an eighth of a byte per bit.
function entryBytes(entry) {
    return entry.bit === true ? entry.size / 8 : entry.size;
}

function groupName(entry, grouping, ambiguousNames) {
    if (grouping === "object") {
        if (entry.object === undefined) {
            return noGroupNames.object;
        }
        return originName(entry);
    }
    if (grouping === "archive") {
        return entry.archive === undefined ? noGroupNames.archive : entry.archive;
    }
    if (entry.search !== null && entry.search !== undefined) {
        return entry.search;
    }
    return ambiguousNames.has(entry.name) ? ambiguousGroupName : noGroupNames.search;
}

// The trees of program memory and of RAM, from the report, grouped by `grouping`. RAM has no
// searches: grouped by search, its areas hold their entries directly. The areas are as large as
// what they hold, or with `withFree` as large as they are, their free bytes a tile of their own.
function buildMemoryTrees(report, grouping, changes, withFree) {
    // Which group (or ungrouped area) holds each entry, as one typed array: a million entries
    // then cost no allocation each, which would wake the garbage collector over the report.
    const holderOf = new Int32Array(report.entries.length).fill(-1);
    const trees = {
        program: makeNode("memory", "Program memory", null),
        ram: makeNode("memory", "RAM", null),
        holders: [],
        holderOf: holderOf,
    };
    const areaNodes = new Map();
    for (const area of report.areas) {
        const tree = trees[area.kind];
        if (tree === undefined) {
            continue;
        }
        const node = makeNode("area", area.name, tree);
        node.area = area;
        node.grouped = area.kind === "program" || grouping !== "search";
        node.groups = new Map();
        if (node.grouped) {
            node.children = [];
        } else {
            addHolder(trees, node);
        }
        tree.children = tree.children || [];
        tree.children.push(node);
        areaNodes.set(area.name, node);
    }
    const ambiguousNames = new Set(report.ambiguous.records.map((record) => record.name));
    const entries = report.entries;
    // Entries come in address order, so the area and often the group are those of the entry
    // before: asking the maps only when they change keeps a million entries quick.
    let areaName = null;
    let area;
    let groupKey = null;
    let group = null;
    for (let i = 0; i < entries.length; i += 1) {
        const entry = entries[i];
        const bytes = entry.bit === true ? entry.size / 8 : entry.size;
        if (entry.area !== areaName) {
            areaName = entry.area;
            area = areaNodes.get(areaName);
            groupKey = null;
        }
        if (area === undefined || !(bytes > 0)) {
            continue;
        }
        let holder = area;
        if (area.grouped) {
            const name =
                grouping === "search" && typeof entry.search === "string"
                    ? entry.search
                    : groupName(entry, grouping, ambiguousNames);
            if (name !== groupKey) {
                groupKey = name;
                group = area.groups.get(name);
                if (group === undefined) {
                    group = makeNode("group", name, area);
                    addHolder(trees, group);
                    area.groups.set(name, group);
                    area.children.push(group);
                }
            }
            holder = group;
            area.entryCount += 1;
        }
        holderOf[i] = holder.holder;
        holder.top.offer(bytes, i);
        holder.bytes += bytes;
        holder.entryCount += 1;
        if (changes !== null) {
            const change = changes.ofEntry(i);
            if (change !== 0) {
                holder.change = (holder.change || 0) + change;
            }
        }
    }
    for (const tree of [trees.program, trees.ram]) {
        finishTree(tree, grouping, changes, withFree);
    }
    if (changes !== null) {
        trees.program.change = changes.diff.rom.change;
        trees.ram.change = changes.diff.ram.change;
    }
    assignColours(trees);
    return trees;
}

function addHolder(trees, node) {
    node.holder = trees.holders.length;
    node.top = new TopList(treemapMembers);
    node.trees = trees;
    trees.holders.push(node);
}

// Adds up the areas and the memory, gives each area its free bytes, and the changes.
function finishTree(tree, grouping, changes, withFree) {
    tree.children = tree.children || [];
    for (const area of tree.children) {
        let used = 0;
        for (const group of area.children || []) {
            used += group.bytes;
            // A search's text ends in a blank, so no search is named like the groups of
            // entries credited to none.
            if (changes !== null && grouping === "search") {
                group.change = changes.ofSearch(group.name, group.change);
            }
        }
        if (!area.grouped) {
            used = area.bytes;
        }
        area.used = used;
        area.free = makeNode("free", "free", area);
        area.free.bytes = withFree ? Math.max(0, area.area.free) : 0;
        area.bytes = used + area.free.bytes;
        if (changes !== null) {
            area.change = changes.ofArea(area.name);
        }
        tree.bytes += area.bytes;
        tree.entryCount += area.entryCount;
    }
}

// Groups of the same name share a colour in every area; the largest groups get the first.
function assignColours(trees) {
    const totals = new Map();
    for (const tree of [trees.program, trees.ram]) {
        for (const area of tree.children) {
            for (const group of area.children || []) {
                totals.set(group.name, (totals.get(group.name) || 0) + group.bytes);
            }
        }
    }
    const names = Array.from(totals.keys()).sort((a, b) => totals.get(b) - totals.get(a));
    const colourOf = new Map(names.map((name, position) => [name, position]));
    for (const tree of [trees.program, trees.ram]) {
        tree.children.forEach((area, position) => {
            area.colour = position;
            for (const group of area.children || []) {
                group.colour = colourOf.get(group.name);
            }
        });
    }
}

function isContainer(node) {
    return node.kind === "memory" || node.kind === "area" || node.kind === "group" || node.kind === "other";
}

// The bytes of a container's members, without an area's free bytes.
function contentBytes(node) {
    return node.kind === "area" ? node.used : node.bytes;
}

function memberTotal(node) {
    if (node.kind === "other") {
        return node.memberCount;
    }
    return node.children !== null ? node.children.length : node.entryCount;
}

function compareNodes(a, b) {
    return b.bytes - a.bytes || (a.name < b.name ? -1 : a.name > b.name ? 1 : 0);
}

// A holder's entries, largest first, found and sorted once: when someone looks past the
// largest.
function sortItems(node, entries) {
    if (node.items === null) {
        const holderOf = node.trees.holderOf;
        const items = [];
        for (let i = 0; i < holderOf.length; i += 1) {
            if (holderOf[i] === node.holder) {
                items.push(i);
            }
        }
        const bytes = new Float64Array(items.length);
        const order = new Uint32Array(items.length);
        for (let i = 0; i < items.length; i += 1) {
            bytes[i] = entryBytes(entries[items[i]]);
            order[i] = i;
        }
        order.sort((a, b) => bytes[b] - bytes[a] || items[a] - items[b]);
        node.items = Array.from(order, (i) => items[i]);
    }
    return node.items;
}

// The `capacity` largest entries offered, kept in a heap whose root is the smallest of them:
// one look at each entry instead of sorting them all. Entries are offered in the report's
// order, so of equal sizes the earlier stays.
class TopList {
    constructor(capacity) {
        this.capacity = capacity;
        this.size = 0;
        this.bytes = new Float64Array(capacity);
        this.items = new Int32Array(capacity);
    }

    offer(bytes, item) {
        if (this.size === this.capacity) {
            if (bytes <= this.bytes[0]) {
                return;
            }
            this.bytes[0] = bytes;
            this.items[0] = item;
            this.siftDown();
            return;
        }
        let at = this.size;
        this.size += 1;
        while (at > 0) {
            const up = (at - 1) >> 1;
            if (!this.below(bytes, item, this.bytes[up], this.items[up])) {
                break;
            }
            this.bytes[at] = this.bytes[up];
            this.items[at] = this.items[up];
            at = up;
        }
        this.bytes[at] = bytes;
        this.items[at] = item;
    }

    // `a` ranks below `b`: smaller, or as large and later.
    below(bytesA, itemA, bytesB, itemB) {
        return bytesA < bytesB || (bytesA === bytesB && itemA > itemB);
    }

    siftDown() {
        const bytes = this.bytes;
        const items = this.items;
        let at = 0;
        for (;;) {
            const left = 2 * at + 1;
            const right = left + 1;
            let lowest = at;
            if (left < this.size && this.below(bytes[left], items[left], bytes[lowest], items[lowest])) {
                lowest = left;
            }
            if (right < this.size && this.below(bytes[right], items[right], bytes[lowest], items[lowest])) {
                lowest = right;
            }
            if (lowest === at) {
                return;
            }
            const b = bytes[at];
            const i = items[at];
            bytes[at] = bytes[lowest];
            items[at] = items[lowest];
            bytes[lowest] = b;
            items[lowest] = i;
            at = lowest;
        }
    }

    // The entries, largest first.
    sorted() {
        const order = [];
        for (let i = 0; i < this.size; i += 1) {
            order.push(i);
        }
        order.sort((a, b) => this.bytes[b] - this.bytes[a] || this.items[a] - this.items[b]);
        return order.map((i) => this.items[i]);
    }
}

function entryNode(item, holder, entries, changes) {
    const entry = entries[item];
    const node = makeNode("entry", entry.name, holder);
    node.entry = item;
    node.bytes = entryBytes(entry);
    node.entryCount = 1;
    node.colour = holder.kind === "group" ? holder.colour : item;
    if (changes !== null) {
        node.change = changes.ofEntry(item);
    }
    return node;
}

// Members `from` to `from + count` of a container, largest first.
function membersOf(node, from, count, entries, changes) {
    if (node.kind === "other") {
        return membersOf(node.source, node.from + from, Math.min(count, node.memberCount - from), entries, changes);
    }
    if (node.children !== null) {
        if (!node.sorted) {
            node.children.sort(compareNodes);
            node.sorted = true;
        }
        return node.children.slice(from, from + count);
    }
    const items =
        from + count <= node.top.capacity
            ? node.top.sorted().slice(from, from + count)
            : sortItems(node, entries).slice(from, from + count);
    return items.map((item) => entryNode(item, node, entries, changes));
}

// A node for the members of `source` from position `from` on, which are too small to draw.
function otherNode(source, from, bytes, entryCount) {
    const node = makeNode("other", "other", source);
    node.source = source.kind === "other" ? source.source : source;
    node.from = source.kind === "other" ? source.from + from : from;
    node.memberCount = memberTotal(source) - from;
    node.bytes = Math.max(0, bytes);
    node.entryCount = entryCount;
    node.colour = source.colour;
    return node;
}

// The area a node lies in, or null for a memory.
function areaOf(node) {
    let at = node;
    while (at !== null && at.kind !== "area") {
        at = at.kind === "other" ? at.source : at.parent;
    }
    return at;
}
