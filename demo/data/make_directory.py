#!/usr/bin/env python3
"""Writes the made-up telephone directory of the demo site.

Every name, number and address below is invented. The output is deterministic: the same
script always writes the same file, so the committed directory.tsv can be regenerated and
compared. Usage: make_directory.py [OUTPUT]   (default: directory.tsv next to this script)
"""

import os
import sys

AREA = "0571"
CITY = "澜州市"
DISTRICTS = ["明湖区", "青石区", "柳岸区"]
ROADS = ["青石路", "明湖大道", "柳岸街", "文昌路", "云杉路", "望江路", "梧桐巷", "学士路",
         "新桥街", "丰乐路", "长堤路", "银杏路", "星河大道", "竹溪路", "南屏街", "金沙路"]
SURNAMES = ["张", "王", "李", "赵", "陈", "刘", "杨", "黄", "周", "吴", "徐", "孙", "胡", "朱",
            "高", "林", "何", "郭", "马", "罗", "梁", "宋", "郑", "谢", "韩", "唐", "冯", "于"]
GIVEN = ["伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟",
         "涛", "明", "超", "秀英", "霞", "平", "刚", "桂英", "建华", "志强", "海燕", "晓东",
         "文博", "子涵", "雨欣", "浩然", "国庆", "春梅", "立新", "红梅", "玉兰", "德明"]
FIRMS = ["华茂", "恒通", "金桥", "瑞丰", "东岚", "明湖", "新源", "宏达", "天成", "永信",
         "嘉禾", "联创", "博远", "顺达", "鑫隆", "青石", "澜江", "盛元"]
TRADES = ["电子科技", "建材", "物流", "贸易", "机械制造", "印刷", "服装", "食品", "软件开发",
          "房地产开发", "装饰工程", "汽车销售服务", "环保设备", "医疗器械", "文化传媒",
          "纺织", "茶业", "旅行社"]
SHOPS = [("面馆", "餐饮"), ("水果店", "商店"), ("超市", "商店"), ("五金店", "商店"),
         ("理发店", "生活服务"), ("干洗店", "生活服务"), ("修车行", "生活服务"),
         ("大药房", "医疗卫生"), ("早餐店", "餐饮"), ("花店", "商店"), ("眼镜店", "商店"),
         ("书店", "商店"), ("茶庄", "商店"), ("照相馆", "生活服务"), ("粮油店", "商店"),
         ("家电维修部", "生活服务"), ("锁具店", "生活服务"), ("饺子馆", "餐饮"),
         ("土菜馆", "餐饮"), ("烟酒店", "商店")]
OFFICES = [("人民政府办公室", "政府机关"), ("公安分局", "政府机关"), ("税务局", "政府机关"),
           ("市场监督管理局", "政府机关"), ("人力资源和社会保障局", "政府机关"),
           ("民政局", "政府机关"), ("教育局", "政府机关"), ("卫生健康局", "政府机关"),
           ("交通运输局", "政府机关"), ("自然资源和规划局", "政府机关"),
           ("第一人民医院", "医疗卫生"), ("中医院", "医疗卫生"), ("妇幼保健院", "医疗卫生"),
           ("实验中学", "教育"), ("第二小学", "教育"), ("图书馆", "公共服务"),
           ("邮政局", "公共服务"), ("供电营业厅", "公共服务")]
STREETS = ["青石街道", "湖滨街道", "柳岸街道", "文昌街道", "望江街道"]


class Lcg:
    """A fixed linear congruential generator, so the output never depends on Python's RNG."""

    def __init__(self, seed):
        self.state = seed

    def next(self, bound):
        self.state = (self.state * 1103515245 + 12345) % 2147483648
        return (self.state >> 8) % bound

    def pick(self, items):
        return items[self.next(len(items))]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "directory.tsv")
    rng = Lcg(8620)
    used_numbers = set()
    used_names = set()
    rows = []

    def number(prefix):
        while True:
            local = prefix + "".join(str(rng.next(10)) for _ in range(8 - len(prefix)))
            if local not in used_numbers:
                used_numbers.add(local)
                return AREA + "-" + local

    def address(district=None, home=False):
        district = district or rng.pick(DISTRICTS)
        text = "%s%s%s %d 号" % (CITY, district, rng.pick(ROADS), 1 + rng.next(398))
        if home:
            text += " %d 幢 %d0%d 室" % (1 + rng.next(12), 1 + rng.next(9), 1 + rng.next(6))
        return text

    def add(name, num, addr, category):
        if name in used_names:
            return False
        used_names.add(name)
        rows.append((name, num, addr, category))
        return True

    # Offices of the three districts and of the streets.
    for district in DISTRICTS:
        for office, category in OFFICES:
            add(district + office, number("8702"), address(district), category)
    for street in STREETS:
        add(street + "办事处", number("8703"), address(), "政府机关")
        add(street + "派出所", number("8704"), address(), "政府机关")
        add(street + "社区卫生服务中心", number("8705"), address(), "医疗卫生")

    # Companies: several share a firm name, so a name search finds a family of rows.
    while len(rows) < 175:
        firm = rng.pick(FIRMS)
        trade = rng.pick(TRADES)
        suffix = "有限公司" if rng.next(4) else "股份有限公司"
        add(CITY[:2] + firm + trade + suffix, number("86" + str(rng.next(10))), address(), "企业")

    # Shops, named after their keeper or their street.
    while len(rows) < 265:
        kind, category = rng.pick(SHOPS)
        style = rng.next(3)
        if style == 0:
            name = rng.pick(SURNAMES) + "记" + kind
        elif style == 1:
            name = "老" + rng.pick(SURNAMES) + kind
        else:
            name = rng.pick(ROADS) + kind
        add(name, number("88" + str(rng.next(10))), address(), category)

    # Households, listed under the holder's name.
    while len(rows) < 372:
        add(rng.pick(SURNAMES) + rng.pick(GIVEN), number("85" + str(rng.next(10))),
            address(home=True), "住宅")

    # Names with characters that must travel percent-encoded.
    add("李&王律师事务所", number("8706"), address("明湖区"), "律师")
    add("5#楼 100%便利店", number("8881"), address("青石区"), "商店")
    add("A+眼镜店", number("8882"), address("柳岸区"), "商店")

    # Interleave the kinds, as a directory sorted by nothing in particular would be.
    for i in range(len(rows) - 1, 0, -1):
        j = rng.next(i + 1)
        rows[i], rows[j] = rows[j], rows[i]

    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write("name\tnumber\taddress\tcategory\n")
        for row in rows:
            f.write("\t".join(row) + "\n")
    print("%d entries written to %s" % (len(rows), out))


if __name__ == "__main__":
    main()
