// Numbers as the page writes them.

const digitGroups = new Intl.NumberFormat("en-US", { maximumFractionDigits: 0 });

// The object file an entry comes from, as linkers write it: "libhal.a(uart.o)" for a member of
// an archive, "startup.o" for an object file outside one.
function originName(entry) {
    return entry.archive === undefined ? entry.object : entry.archive + "(" + entry.object + ")";
}

// "233,196"
function formatInt(value) {
    return digitGroups.format(value);
}

// "233,196 B"; bit variables count a fraction of a byte, shown to the eighth.
function formatBytes(bytes) {
    if (bytes !== Math.floor(bytes)) {
        return bytes.toFixed(3).replace(/0+$/, "") + " B";
    }
    return formatInt(bytes) + " B";
}

// "227.7 KiB", for labels where the exact figure does not fit.
function formatSize(bytes) {
    const size = Math.abs(bytes);
    if (size < 1024) {
        return formatBytes(bytes);
    }
    const units = ["KiB", "MiB", "GiB"];
    let value = bytes / 1024;
    let unit = 0;
    while (Math.abs(value) >= 1024 && unit < units.length - 1) {
        value /= 1024;
        unit += 1;
    }
    return value.toFixed(1) + " " + units[unit];
}

// "79.5%"
function formatPercent(percent) {
    return (Number.isFinite(percent) ? percent : 0).toFixed(1) + "%";
}

// part in percent of whole; 0 for an empty whole, as the reports count it.
function percentOf(part, whole) {
    return whole === 0 ? 0 : (part * 100) / whole;
}

// "0x0001F000"
function formatAddress(address) {
    return "0x" + address.toString(16).toUpperCase().padStart(8, "0");
}

// "+1,234", "\u22121,234", "0": a change, signed.
function formatSigned(value) {
    const sign = value > 0 ? "+" : value < 0 ? "\u2212" : "";
    return sign + formatInt(Math.abs(value));
}

// "+1,234 B (+2.5%)" for a change of the report's form {before, after, change, change_percent}.
function formatChange(change) {
    const text = formatSigned(change.change) + " B";
    const percent = change.change_percent;
    if (change.change === 0) {
        return text;
    }
    if (percent === null || percent === undefined) {
        return text + " (new)";
    }
    const sign = percent > 0 ? "+" : percent < 0 ? "\u2212" : "";
    return text + " (" + sign + Math.abs(percent).toFixed(1) + "%)";
}

// "1 entry", "12 entries"
function formatCount(count, one, many) {
    return formatInt(count) + " " + (count === 1 ? one : many);
}
