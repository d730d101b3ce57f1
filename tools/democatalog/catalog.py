"""The demo catalogue's items: themes 101-108 and wallpapers 201-208, as the
content pages list them, and the web site's item record for each.

The record is what "/api.php?op=getinfo_box&gid=<id>" answers: six fields
joined by " | ", the first "success"; an id that is not here answers "fail".
"""
import json

# The site addresses the records name (the demo catalogue's fixed ports).
WEB_SITE = "http://127.0.0.1:18080"
CONTENT_SITE = "http://127.0.0.1:18081/"

# The archive password of item n is n + "_" + this suffix.
PASSWORD_SUFFIX = "mirt_saboe"

THEME, WALLPAPER = 1, 2

# id -> (kind, name). Names become file names inside the packages.
ITEMS = {
    101: (THEME, "蓝色海洋"),
    102: (THEME, "水墨江南"),
    103: (THEME, "Autumn Leaves"),
    104: (THEME, "星空物语"),
    105: (THEME, "清新绿意"),
    106: (THEME, "Graphite"),
    107: (THEME, "红色经典"),
    108: (THEME, "高清山川"),  # the large one, sent slowly (routes/download.json)
    201: (WALLPAPER, "雪山日出"),
    202: (WALLPAPER, "Lakeside"),
    203: (WALLPAPER, "竹林"),
    204: (WALLPAPER, "城市夜景"),
    205: (WALLPAPER, "Desert Dunes"),
    206: (WALLPAPER, "花海"),
    207: (WALLPAPER, "晨雾"),
    208: (WALLPAPER, "海岸线"),
}

# The record whose image path is the web site's full address.
FULL_IMAGE_ADDRESS = 205

LARGE_ITEM = 108


def password(item_id):
    return "%d_%s" % (item_id, PASSWORD_SUFFIX)


def image_path(item_id):
    path = "/img/%d.png" % item_id
    return WEB_SITE + path if item_id == FULL_IMAGE_ADDRESS else path


def category(item_id):
    """The catalogue page that lists the item: the first four of each kind
    are category 1, the others category 2."""
    return 1 if item_id % 100 <= 4 else 2


def content_path(item_id):
    """The item's page below the content site, as records name it."""
    kind = ITEMS[item_id][0]
    return "%s/%d/" % ("zhuti" if kind == THEME else "bizhi", category(item_id))


def recommended(kind):
    """(id, name) of the items recommended for a kind: one of each category
    first, then the rest, by id."""
    ids = sorted(i for i, (k, _) in ITEMS.items() if k == kind)
    first = [i for i in ids if i % 100 in (1, 5)]
    return [(i, ITEMS[i][1]) for i in first + [i for i in ids if i not in first]][:4]


def search(kind, keyword):
    """(id, name) of the items of a kind whose name holds the keyword, case
    ignored; every item of the kind for an empty keyword."""
    word = keyword.strip().lower()
    return [(i, name) for i, (k, name) in sorted(ITEMS.items()) if k == kind and word in name.lower()]


def record(item_id):
    """The getinfo_box reply for the id, "fail" for an unknown one."""
    if item_id not in ITEMS:
        return "fail"
    kind, name = ITEMS[item_id]
    jsons = json.dumps({"id": str(item_id), "title": name, "kind": str(kind),
                        "img": "$imagelocalpath$%d.png" % item_id}, ensure_ascii=False, separators=(",", ":"))
    # The status digit and the progress are stored bare and last.
    jsons = jsons[:-1] + ',"status":1,"progress":"0"}'
    fields = ["success", "gamename:" + name, "contenturl:" + content_path(item_id),
              "imagepath:" + image_path(item_id), "gamepath:Ravonyx\\download\\%d.zip" % item_id, "jsons:" + jsons]
    return " | ".join(fields)
