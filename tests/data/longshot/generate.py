#!/usr/bin/env python3
"""Makes the scrolling-capture test pages: real browser frames and their ground truth.

Each page is written here as HTML, rendered by headless Chromium in a small window and scrolled
in uneven steps; every step is one screenshot (frame-NN.png). The ground truth (truth.png) is one
screenshot of the same page in a window as tall as the page: sticky headers stand at its top and
fixed bars at its bottom, once, which is what a stitched capture must show.

The page scrolls inside a full-window element rather than the document: headless screenshots
of a scrolled document are taken at the document's origin, those of a scrolled element are not.
Animated parts (a clock, a spinner, a progress bar) take their phase from the frame number, so
the set is the same every time; the ground truth shows the first frame's phase.

Usage: tests/data/longshot/generate.py [PAGE...]   (needs chromium and ImageMagick's convert)
Writes tests/data/longshot/PAGE/{frame-NN.png,truth.png,frames.txt}.
"""

import os
import random
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CHROMIUM = os.environ.get("CHROMIUM", "chromium")
CONVERT = os.environ.get("CONVERT", "/usr/bin/convert")

WORDS = ("harbour light morning river stone quiet market window paper garden winter signal station "
         "letter bridge orange silver forest engine number yellow simple narrow gentle rapid candle "
         "thunder pocket ladder velvet marble copper meadow lantern spiral ribbon timber saddle anchor "
         "the of and a to in is was for on that with as by at from it an be this are or").split()


def sentence(rng, low=6, high=16):
    words = [rng.choice(WORDS) for _ in range(rng.randint(low, high))]
    return " ".join(words).capitalize() + "."


def paragraph(rng, sentences=(2, 5)):
    return " ".join(sentence(rng) for _ in range(rng.randint(*sentences)))


# Every page scrolls inside #s; the script applies the scroll and the animation phase given in
# the address (#y=…&t=…) before the first paint, and the scroll again once the page has loaded
# (the fonts may change the layout). Scroll anchoring would move the page by itself.
SHELL = """<!doctype html><html><head><meta charset="utf-8"><style>
html,body{{margin:0;height:100%;overflow:hidden}}
#s{{height:100%;overflow-y:auto;overflow-x:hidden;overflow-anchor:none}}
{css}</style></head><body><div id="s">{body}</div>{outside}
<script>
const q=Object.fromEntries(location.hash.slice(1).split('&').filter(Boolean).map(p=>p.split('=')));
const t=+(q.t||0);
{animate}
const s=document.getElementById('s');
s.scrollTop=+(q.y||0);
addEventListener('load',()=>{{s.scrollTop=+(q.y||0);document.title='height='+s.scrollHeight+' top='+s.scrollTop;}});
</script></body></html>"""


def article():
    rng = random.Random(11)
    parts = ["<header><b>The Quiet Harbour</b><nav>News · Culture · Travel</nav></header><article>",
             "<h1>Notes from a winter by the river</h1><p class=by>By A. Writer · 12 min read</p>"]
    for section in range(5):
        parts.append(f"<h2>{sentence(rng, 3, 6)}</h2>")
        for _ in range(rng.randint(2, 3)):
            parts.append(f"<p>{paragraph(rng)}</p>")
        if section in (1, 3):
            parts.append(f"<figure style='background:linear-gradient(135deg,#8ecae6,#219ebc)'></figure>"
                         f"<figcaption>{sentence(rng, 4, 8)}</figcaption>")
        if section == 2:
            parts.append(f"<blockquote>{sentence(rng, 10, 16)}</blockquote>")
    parts.append("</article><div class=foot>© The Quiet Harbour · About · Contact · Privacy</div>")
    css = """#s{font:15px/23px sans-serif;color:#222;background:#fff}
header{position:sticky;top:0;height:56px;background:#1d3557;color:#fff;display:flex;align-items:center;
justify-content:space-between;padding:0 16px;font-size:17px}
nav{font-size:13px;color:#cfe}
article{padding:8px 18px}
h1{font:bold 24px/30px serif;margin:10px 0}
h2{font:bold 19px/25px serif;margin:22px 0 8px}
.by{color:#777;font-size:13px}
figure{height:150px;margin:12px 0 4px;border-radius:6px}
figcaption{color:#666;font-size:13px;margin-bottom:10px}
blockquote{border-left:4px solid #e63946;margin:14px 0;padding:4px 12px;font-style:italic;color:#444}
.foot{background:#f1f1f1;color:#555;padding:40px 18px;font-size:13px;margin-top:20px}"""
    return dict(css=css, body="".join(parts), header=56, footer=0)


def feed():
    rng = random.Random(12)
    colours = ["#e76f51", "#2a9d8f", "#e9c46a", "#264653", "#8338ec", "#fb5607"]
    names = ["Ada Lane", "Bo Chen", "Cy Moreau", "Dee Okafor", "Eli Novak", "Fay Ruiz", "Gus Berg"]
    parts = ["<header><b>Home</b><span class=search>Search</span></header><main>"]
    for i in range(14):
        name = names[i % len(names)]
        parts.append(
            f"<div class=card><div class=av style='background:{colours[i % len(colours)]}'>{name[0]}</div>"
            f"<div class=body><b>{name}</b> <span class=h>@{name.split()[0].lower()} · {i + 2}h</span>"
            f"<p>{paragraph(rng, (1, 3))}</p><div class=acts>♡ {rng.randint(1, 90)}   ↻ {rng.randint(0, 20)}"
            f"   ✉ {rng.randint(0, 9)}</div></div></div>")
    parts.append("</main>")
    tabs = "<div id=tabs><span class=on>Home</span><span>Search</span><span>Alerts</span><span>Me</span></div>"
    css = """#s{font:14px/20px sans-serif;color:#111;background:#fff}
header{position:sticky;top:0;height:52px;background:#fff;border-bottom:1px solid #ddd;display:flex;
align-items:center;justify-content:space-between;padding:0 14px;box-sizing:border-box;font-size:18px}
.search{background:#eef1f4;color:#889;border-radius:14px;padding:3px 40px 3px 12px;font-size:13px}
main{padding-bottom:56px}
.card{display:flex;padding:12px 14px;border-bottom:1px solid #eee}
.av{flex:none;width:40px;height:40px;border-radius:50%;color:#fff;font-weight:bold;display:flex;
align-items:center;justify-content:center;margin-right:10px}
.h{color:#8899a6}
.card p{margin:4px 0}
.acts{color:#8899a6;font-size:13px;white-space:pre}
#tabs{position:fixed;left:0;right:0;bottom:0;height:56px;background:#fafafa;border-top:1px solid #ddd;
display:flex;justify-content:space-around;align-items:center;font:13px sans-serif;color:#667;box-sizing:border-box}
#tabs .on{color:#1d9bf0;font-weight:bold}"""
    return dict(css=css, body="".join(parts), outside=tabs, header=52, footer=56)


def chat():
    rng = random.Random(13)
    parts = ["<header><div class=av>M</div><div><b>Mira</b><br><small>online</small></div></header><main>"]
    for block in range(9):
        side = "me" if block % 2 else "them"
        # Runs of the same short reply: rows that look alike at every multiple of their pitch.
        for _ in range(rng.randint(3, 4)):
            parts.append(f"<div class='m {side}'><span>ok</span></div>")
        for _ in range(rng.randint(1, 2)):
            parts.append(f"<div class='m {side}'><span>{sentence(rng, 3, 12)}</span></div>")
    parts.append("</main>")
    composer = "<div id=composer><span class=box>Message</span><span class=send>➤</span></div>"
    css = """#s{font:14px/19px sans-serif;color:#111;background:#e7e1da}
header{position:sticky;top:0;height:60px;background:#075e54;color:#fff;display:flex;align-items:center;
padding:0 12px;box-sizing:border-box}
header small{color:#cde}
header .av{width:36px;height:36px;border-radius:50%;background:#9ad;margin-right:10px;display:flex;
align-items:center;justify-content:center;font-weight:bold}
main{padding:8px 10px 72px}
.m{display:flex;margin:4px 0}
.m span{max-width:75%;padding:6px 10px;border-radius:8px;background:#fff}
.me{justify-content:flex-end}
.me span{background:#d9fdd3}
#composer{position:fixed;left:0;right:0;bottom:0;height:64px;background:#f0f0f0;display:flex;
align-items:center;padding:0 10px;box-sizing:border-box}
#composer .box{flex:1;background:#fff;border-radius:20px;padding:9px 14px;color:#999}
#composer .send{width:40px;height:40px;margin-left:8px;border-radius:50%;background:#00a884;color:#fff;
display:flex;align-items:center;justify-content:center}"""
    return dict(css=css, body="".join(parts), outside=composer, header=60, footer=64)


def code():
    rng = random.Random(14)
    names = ["alpha", "beta", "gamma", "delta", "omega", "sigma", "kappa", "theta", "lambda", "zeta"]
    lines = ["<span class=k>#include</span> <span class=s>&lt;string_view&gt;</span>", "",
             "<span class=k>namespace</span> demo {", ""]
    for block in range(6):
        lines.append(f"<span class=k>enum class</span> <span class=t>Kind{block}</span> {{")
        for name in names:
            lines.append(f"    {name}{block},")
        lines.append("};")
        lines.append("")
        lines.append(f"<span class=t>std::string_view</span> <span class=f>name</span>(<span class=t>Kind{block}</span> k) {{")
        lines.append("    <span class=k>switch</span> (k) {")
        for name in names[:rng.randint(6, 10)]:
            lines.append(f"    <span class=k>case</span> <span class=t>Kind{block}</span>::{name}{block}: "
                         f"<span class=k>return</span> <span class=s>\"{name}\"</span>;")
        lines.append("    }")
        lines.append("    <span class=k>return</span> <span class=s>\"\"</span>; <span class=c>// unreachable</span>")
        lines.append("}")
        lines.append("")
    lines.append("} <span class=c>// namespace demo</span>")
    rows = "".join(f"<div class=l><i>{n + 1}</i>{text or ' '}</div>" for n, text in enumerate(lines))
    body = ("<div class=tabs><span class=on>kinds.cpp</span><span>kinds.h</span><span>main.cpp</span></div>"
            f"<div class=code>{rows}</div>")
    status = "<div id=status>main  ⟳ 0↓ 2↑   Ln 42, Col 7   Spaces: 4   UTF-8   C++</div>"
    css = """#s{background:#1e1e1e;color:#d4d4d4;font:13px/19px monospace}
.tabs{position:sticky;top:0;height:36px;background:#252526;display:flex;font:13px/36px sans-serif;color:#999}
.tabs span{padding:0 14px;border-right:1px solid #1e1e1e}
.tabs .on{background:#1e1e1e;color:#fff;border-top:2px solid #0078d4;line-height:32px}
.code{padding:4px 0 30px}
.l{white-space:pre;height:19px}
.l i{display:inline-block;width:34px;padding-right:14px;text-align:right;color:#6e7681;font-style:normal}
.k{color:#569cd6}.t{color:#4ec9b0}.s{color:#ce9178}.f{color:#dcdcaa}.c{color:#6a9955}
#status{position:fixed;left:0;right:0;bottom:0;height:24px;background:#007acc;color:#fff;
font:12px/24px sans-serif;padding:0 10px;white-space:pre}"""
    return dict(css=css, body=body, outside=status, header=36, footer=24)


def essay():
    rng = random.Random(15)
    # Text blocks of fixed height between blank gaps, so that the gaps fall where the steps below
    # expect them: one step (1200 → 1590) sees nothing but blank page in its overlap.
    layout = [("t", 520), ("g", 340), ("t", 440), ("g", 660), ("t", 440), ("g", 300), ("t", 500)]
    parts = []
    for kind, height in layout:
        if kind == "g":
            parts.append(f"<div style='height:{height}px'></div>")
        else:
            text = "".join(f"<p>{paragraph(rng, (3, 5))}</p>" for _ in range(4))
            parts.append(f"<div class=t style='height:{height}px'>{text}</div>")
    css = """#s{font:16px/24px serif;color:#333;background:#fff}
.t{overflow:hidden;padding:0 22px;box-sizing:border-box}
.t p{margin:0 0 12px}"""
    return dict(css=css, body="".join(parts), header=0, footer=0)


def liveblog():
    rng = random.Random(16)
    parts = ["<header><b>LIVE</b> Election night<span id=clock></span><span id=spin></span>"
             "<div id=progress><div id=bar></div></div></header><main>"]
    for i in range(16):
        parts.append(f"<div class=entry><time>{23 - i // 3}:{59 - 3 * i:02d}</time><p>{paragraph(rng, (1, 3))}</p>")
        if i % 5 == 2:
            parts.append(f"<blockquote>{sentence(rng, 8, 14)}</blockquote>")
        parts.append("</div>")
    parts.append("</main>")
    animate = """document.getElementById('clock').textContent='21:04:'+String(7+t*3).padStart(2,'0');
document.getElementById('spin').style.transform='rotate('+(t*40)+'deg)';
document.getElementById('bar').style.width=(12+t*9)+'%';"""
    css = """#s{font:15px/22px sans-serif;color:#222;background:#fff}
header{position:sticky;top:0;height:64px;background:#b00020;color:#fff;padding:12px 14px 0;box-sizing:border-box;
font-size:17px}
header b{background:#fff;color:#b00020;padding:0 5px;border-radius:3px;margin-right:6px;font-size:13px}
#clock{float:right;font:15px monospace}
#spin{float:right;width:14px;height:14px;border:3px solid #fff;border-top-color:transparent;border-radius:50%;
margin:2px 10px 0 0}
#progress{position:absolute;left:0;right:0;bottom:0;height:5px;background:#7a0016}
#bar{height:5px;background:#ffd166}
main{padding:4px 16px 20px}
.entry{border-bottom:1px solid #eee;padding:8px 0}
time{color:#b00020;font-weight:bold;font-size:13px}
.entry p{margin:4px 0}
blockquote{margin:6px 0;padding:6px 10px;background:#f6f6f6;border-left:3px solid #b00020;color:#555}"""
    return dict(css=css, body="".join(parts), header=64, footer=0, animate=animate)


def settings():
    rng = random.Random(17)
    parts = ["<header>Settings</header><main>"]
    for group in range(6):
        parts.append(f"<h3>{sentence(rng, 1, 2)[:-1].upper()}</h3><div class=group>")
        for _ in range(rng.randint(3, 5)):
            on = rng.random() < 0.5
            parts.append(f"<div class=row><span>{sentence(rng, 2, 4)[:-1]}</span>"
                         f"<span class='sw{' on' if on else ''}'></span></div>")
        parts.append("</div>")
    parts.append("</main>")
    bar = "<div id=bar><span>Cancel</span><span class=save>Save</span></div>"
    css = """#s{font:13px/18px sans-serif;color:#111;background:#f2f2f7}
header{position:sticky;top:0;z-index:1;height:44px;background:#f9f9fb;border-bottom:1px solid #ccc;text-align:center;
font:bold 16px/44px sans-serif;box-sizing:border-box}
main{padding:0 12px 56px}
h3{font-size:11px;color:#888;margin:16px 4px 6px;font-weight:normal}
.group{background:#fff;border-radius:10px}
.row{display:flex;justify-content:space-between;align-items:center;padding:9px 12px;border-bottom:1px solid #eee}
.sw{width:36px;height:20px;background:#ddd;position:relative}
.sw.on{background:#34c759}
.sw::after{content:'';position:absolute;top:2px;left:2px;width:16px;height:16px;background:#fff}
.sw.on::after{left:18px}
#bar{position:fixed;left:0;right:0;bottom:0;height:48px;background:#fff;border-top:1px solid #ccc;display:flex;
justify-content:space-between;align-items:center;padding:0 16px;box-sizing:border-box;font-size:15px;color:#007aff}
#bar .save{font-weight:bold}"""
    return dict(css=css, body="".join(parts), outside=bar, header=44, footer=48)


def log():
    rng = random.Random(18)
    # Lines that differ only in a few digits: the rhythm of a log is one line high.
    rows = []
    for n in range(150):
        level = "WARN" if rng.random() < 0.08 else "INFO"
        rows.append(f"<div class='r {level.lower()}'>12:{n // 60:02d}:{n % 60:02d}.{rng.randint(0, 999):03d} "
                    f"{level} worker-{n % 4} request served in {rng.randint(3, 40)} ms</div>")
    body = "<div class=bar><b>build #4127</b> <span id=spin>◐</span> running</div><div class=log>" + "".join(rows) + "</div>"
    animate = "document.getElementById('spin').textContent='◐◓◑◒'[t % 4];"
    css = """#s{background:#101418;color:#b8c4cc;font:12px/16px monospace}
.bar{position:sticky;top:0;z-index:1;height:34px;background:#1c2430;color:#fff;font:13px/34px sans-serif;padding:0 10px}
.log{padding:2px 8px 6px}
.r{white-space:pre;height:16px}
.warn{color:#e5c07b}"""
    return dict(css=css, body=body, header=34, footer=0, animate=animate)


# name: (builder, window width, window height in CSS pixels, device scale, steps in CSS pixels).
# The steps are uneven, as a person scrolls; the last frame is always the end of the page.
PAGES = {
    "article": (article, 400, 640, 1, [233, 391, 187, 305, 362, 214, 398, 276]),
    "feed": (feed, 400, 640, 1, [301, 187, 372, 244, 395, 218, 333]),
    "chat": (chat, 400, 640, 1, [196, 347, 281, 388, 225, 312, 259]),
    "code": (code, 440, 640, 1, [379, 211, 296, 183, 344, 399, 262, 318]),
    "essay": (essay, 400, 720, 1, None),  # its own offsets, see below
    "liveblog": (liveblog, 400, 640, 1, [262, 355, 198, 317, 384, 241, 290]),
    "settings": (settings, 300, 360, 2, [91, 173, 124, 198, 146, 107, 187]),
    "log": (log, 400, 640, 1, [289, 203, 371, 226, 342, 187, 394]),
}
ESSAY_OFFSETS = [0, 250, 600, 930, 1200, 1590, 1830, 2150, 2480]


def run_chromium(url, width, height, scale, screenshot=None, dump=False):
    command = [CHROMIUM, "--headless", "--no-sandbox", "--hide-scrollbars", "--disable-gpu",
               "--font-render-hinting=none", f"--window-size={width},{height}",
               f"--force-device-scale-factor={scale}"]
    command += [f"--screenshot={screenshot}"] if screenshot else ["--dump-dom"]
    done = subprocess.run(command + [url], capture_output=True, text=True, check=True)
    return done.stdout


def page_height(url, width, height, scale):
    dom = run_chromium(url, width, height, scale, dump=True)
    found = re.search(r"<title>height=(\d+) top=(\d+)</title>", dom)
    if not found:
        sys.exit(f"no height in {url}")
    return int(found.group(1)), int(found.group(2))


def write_png(source, target):
    """Lossless and small: a palette when the picture has at most 256 colours."""
    colours = int(subprocess.run([CONVERT, source, "-format", "%k", "info:"], capture_output=True, text=True,
                                 check=True).stdout)
    kind = "PNG8" if colours <= 256 else "PNG24"
    subprocess.run([CONVERT, source, "-strip", "-define", "png:compression-level=9", f"{kind}:{target}"], check=True)


def offsets_for(steps, max_scroll):
    offsets = [0]
    for step in steps:
        if offsets[-1] + step >= max_scroll:
            break
        offsets.append(offsets[-1] + step)
    if max_scroll - offsets[-1] < 60:  # a last step too small to count as progress
        offsets.pop()
    offsets.append(max_scroll)
    return offsets


def generate(name, work):
    builder, width, height, scale, steps = PAGES[name]
    layout = builder()
    html = SHELL.format(css=layout["css"], body=layout["body"], outside=layout.get("outside", ""),
                        animate=layout.get("animate", ""))
    page = os.path.join(work, name + ".html")
    with open(page, "w") as f:
        f.write(html)
    url = "file://" + page
    full, _ = page_height(url, width, height, scale)
    offsets = ESSAY_OFFSETS if steps is None else offsets_for(steps, full - height)
    out = os.path.join(HERE, name)
    os.makedirs(out, exist_ok=True)
    for old in os.listdir(out):
        os.remove(os.path.join(out, old))
    manifest = [f"# {name}: {width}x{height} CSS pixels at scale {scale}; offsets in device pixels",
                f"header {layout['header'] * scale}", f"footer {layout['footer'] * scale}"]
    for index, offset in enumerate(offsets):
        _, top = page_height(f"{url}#y={offset}&t={index}", width, height, scale)
        if top != offset:
            sys.exit(f"{name}: asked for offset {offset}, the page scrolled to {top}")
        shot = os.path.join(work, f"{name}-{index}.png")
        run_chromium(f"{url}#y={offset}&t={index}", width, height, scale, screenshot=shot)
        frame = f"frame-{index + 1:02d}.png"
        write_png(shot, os.path.join(out, frame))
        manifest.append(f"frame {frame} {offset * scale}")
    shot = os.path.join(work, f"{name}-truth.png")
    run_chromium(f"{url}#t=0", width, full, scale, screenshot=shot)
    write_png(shot, os.path.join(out, "truth.png"))
    manifest.append("truth truth.png")
    check(out, [o * scale for o in offsets], layout["header"] * scale, layout["footer"] * scale, work)
    with open(os.path.join(out, "frames.txt"), "w") as f:
        f.write("\n".join(manifest) + "\n")
    print(f"{name}: {len(offsets)} frames, page {full * scale} px, offsets {offsets}")


def check(out, offsets, header, footer, work):
    """Every frame's scrolling part must be the ground truth's rows at its offset: Chromium
    rasterises some shapes (rounded corners at scale 2) a little differently in a tall window."""
    truth = os.path.join(out, "truth.png")
    for index, offset in enumerate(offsets):
        frame = os.path.join(out, f"frame-{index + 1:02d}.png")
        size = subprocess.run([CONVERT, frame, "-format", "%w %h", "info:"], capture_output=True, text=True,
                              check=True).stdout.split()
        width, height = int(size[0]), int(size[1])
        band = f"{width}x{height - header - footer}"
        a, b = os.path.join(work, "a.png"), os.path.join(work, "b.png")
        subprocess.run([CONVERT, frame, "-crop", f"{band}+0+{header}", "+repage", a], check=True)
        subprocess.run([CONVERT, truth, "-crop", f"{band}+0+{offset + header}", "+repage", b], check=True)
        compared = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
        if compared.stderr.strip() != "0":
            sys.exit(f"{frame}: {compared.stderr.strip()} pixels differ from the ground truth")


def main():
    names = sys.argv[1:] or list(PAGES)
    with tempfile.TemporaryDirectory(prefix="brisklet-longshot-pages-") as work:
        for name in names:
            generate(name, work)


if __name__ == "__main__":
    main()
