* Um script em UTF-8: o texto é Windows-1252 por dentro e UTF-8 no console.
seja $frase "Tradução: ação, coração, pão"
escreve $frase
seja m maiusc $frase
escreve m
seja t tamanho "ação"
escreve "tamanho " t
seja c asc "ç"
escreve c
seja c chr "#227"
escreve "código 227: " c
desvia @Início
escreve "nunca"
@INÍCIO
se "ÇÃO" = "ção"
  escreve "iguais sem distinguir maiúsculas"
senão
  escreve "nunca"
fim se
se não "ção" == "ÇÃO"
  escreve "== distingue"
FIM SE
